#include "ImageIO/ImageIOError.hpp"

namespace ImageIO {

std::string ImageIOError::description() const {
  std::string text;
  switch (code) {
    case Code::emptyData:
      text = "The image data is empty";
      break;
    case Code::unknownType:
      text = "The image type is not supported";
      break;
    case Code::corruptData:
      text = "The image data is corrupt";
      break;
    case Code::truncatedData:
      text = "The image data is truncated";
      break;
    case Code::tooLarge:
      text = "The image is too large";
      break;
    case Code::indexOutOfRange:
      text = "No image at that index";
      break;
    case Code::noImage:
      text = "No image to write";
      break;
    case Code::tooManyImages:
      text = "More images than the destination holds";
      break;
    case Code::encodingFailed:
      text = "The image could not be encoded";
      break;
    case Code::alreadyFinalized:
      text = "The destination is already finalized";
      break;
  }
  return detail.empty() ? text : text + ": " + detail;
}

}  // namespace ImageIO
