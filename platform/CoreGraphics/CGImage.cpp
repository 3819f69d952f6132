#include "CoreGraphics/CGImage.hpp"

namespace CoreGraphics {

std::shared_ptr<const CGImage> CGImage::make(std::size_t width, std::size_t height,
                                             std::shared_ptr<const Pixels> rgba) {
  if (!rgba || width == 0 || height == 0 || rgba->size() / 4 / width != height ||
      rgba->size() != width * height * 4)
    return nullptr;
  return std::make_shared<const CGImage>(width, height, std::move(rgba));
}

}  // namespace CoreGraphics
