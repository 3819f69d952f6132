#pragma once

#include <string>

namespace ImageIO {

// Why ImageIO could not read or write an image.
struct ImageIOError {
  enum class Code {
    emptyData,        // no bytes at all
    unknownType,      // not a JPEG, or a destination type other than JPEG
    corruptData,      // a JPEG whose markers or entropy data do not decode
    truncatedData,    // a JPEG that ends early
    tooLarge,         // dimensions past what a device makes
    indexOutOfRange,  // an image index other than 0
    noImage,          // finalize with no image added, or an image without pixels
    tooManyImages,    // more images added than the destination's count
    encodingFailed,   // the encoder refused the bitmap
    alreadyFinalized,
  };
  Code code = Code::corruptData;
  std::string detail;  // the codec's own message, when there is one

  std::string description() const;
  bool operator==(const ImageIOError&) const = default;
};

}  // namespace ImageIO
