#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace CoreGraphics {

// Swift's CGImage: an immutable RGBA8 bitmap, rows top to bottom, no padding. The pixel
// buffer is shared, so images made from one another cost no copy.
class CGImage {
 public:
  using Pixels = std::vector<std::uint8_t>;

  // Null when the buffer is missing or does not hold width * height * 4 bytes.
  static std::shared_ptr<const CGImage> make(std::size_t width, std::size_t height,
                                             std::shared_ptr<const Pixels> rgba);

  std::size_t width() const { return width_; }
  std::size_t height() const { return height_; }
  std::size_t bytesPerRow() const { return width_ * 4; }
  const Pixels& pixels() const { return *pixels_; }
  const std::shared_ptr<const Pixels>& sharedPixels() const { return pixels_; }

  CGImage(std::size_t width, std::size_t height, std::shared_ptr<const Pixels> rgba)
      : width_(width), height_(height), pixels_(std::move(rgba)) {}

 private:
  std::size_t width_;
  std::size_t height_;
  std::shared_ptr<const Pixels> pixels_;
};

}  // namespace CoreGraphics
