#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"

namespace CoreGraphics {

// Swift's CGImage: an immutable RGBA8 bitmap, rows top to bottom, no padding. The pixel
// buffer is shared, so images made from one another cost no copy.
class CGImage {
 public:
  using Pixels = std::vector<std::uint8_t>;

  // Null when the buffer is missing or does not hold width * height * 4 bytes.
  static std::shared_ptr<const CGImage> make(std::size_t width, std::size_t height,
                                             std::shared_ptr<const Pixels> rgba);

  // Swift `cropping(to:)`: `rect` in pixels, rounded outward to whole pixels and clipped to
  // the bitmap; null when nothing is left or the rect is not finite. Copies only the rows cut.
  std::shared_ptr<const CGImage> cropping(CGRect rect) const;

  // True when every pixel is known to be opaque (a decoded JPEG, a filled opaque context):
  // an encoder then needs no flattening pass.
  bool isOpaque() const { return opaque_; }
  std::shared_ptr<const CGImage> markedOpaque() const;

  std::size_t width() const { return width_; }
  std::size_t height() const { return height_; }
  std::size_t bytesPerRow() const { return width_ * 4; }
  const Pixels& pixels() const { return *pixels_; }
  const std::shared_ptr<const Pixels>& sharedPixels() const { return pixels_; }

  CGImage(std::size_t width, std::size_t height, std::shared_ptr<const Pixels> rgba,
          bool opaque = false)
      : width_(width), height_(height), pixels_(std::move(rgba)), opaque_(opaque) {}

 private:
  std::size_t width_;
  std::size_t height_;
  std::shared_ptr<const Pixels> pixels_;
  bool opaque_ = false;
};

}  // namespace CoreGraphics
