#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"

namespace CoreGraphics {

// Swift's CGImage: an immutable RGBA8 bitmap. The pixel buffer is shared, so images made from
// one another cost no copy: a cut or a turned image may be a view into another's buffer, with
// its own offset and steps. pixels() always gives rows top to bottom with no padding, made once
// on first use for such a view.
class CGImage {
 public:
  using Pixels = std::vector<std::uint8_t>;

  // Where pixel (x, y) stands in the shared buffer: offset + x * xStep + y * yStep, in bytes.
  // A plain bitmap has offset 0, xStep 4 and yStep width * 4.
  struct Layout {
    std::size_t offset = 0;
    std::ptrdiff_t xStep = 4;
    std::ptrdiff_t yStep = 0;
    bool operator==(const Layout&) const = default;
  };

  // Null when the buffer is missing or does not hold width * height * 4 bytes.
  static std::shared_ptr<const CGImage> make(std::size_t width, std::size_t height,
                                             std::shared_ptr<const Pixels> rgba);
  // A bitmap over part of `rgba`, like CGImage's bytesPerRow and a data provider's offset (steps
  // may also turn or mirror it). Null when a pixel it names lies outside the buffer.
  static std::shared_ptr<const CGImage> make(std::size_t width, std::size_t height,
                                             std::shared_ptr<const Pixels> rgba, Layout layout,
                                             bool opaque = false);

  // Swift `cropping(to:)`: `rect` in pixels, rounded outward to whole pixels and clipped to
  // the bitmap; null when nothing is left or the rect is not finite. Shares the pixels.
  std::shared_ptr<const CGImage> cropping(CGRect rect) const;

  // True when every pixel is known to be opaque (a decoded JPEG, a filled opaque context):
  // an encoder then needs no flattening pass.
  bool isOpaque() const { return opaque_; }
  std::shared_ptr<const CGImage> markedOpaque() const;

  std::size_t width() const { return width_; }
  std::size_t height() const { return height_; }
  // Of pixels(): rows without padding.
  std::size_t bytesPerRow() const { return width_ * 4; }
  const Pixels& pixels() const { return *sharedPixels(); }
  const std::shared_ptr<const Pixels>& sharedPixels() const;

  // The buffer the layout points into, and the layout: what readers use to avoid pixels()'s
  // copy of a view.
  const std::shared_ptr<const Pixels>& storage() const { return pixels_; }
  const Layout& layout() const { return layout_; }
  // The first byte of pixel (x, y), which must be inside.
  const std::uint8_t* pixel(std::size_t x, std::size_t y) const {
    return pixels_->data() + (static_cast<std::ptrdiff_t>(layout_.offset) +
                              static_cast<std::ptrdiff_t>(x) * layout_.xStep +
                              static_cast<std::ptrdiff_t>(y) * layout_.yStep);
  }
  // Rows top to bottom from the buffer's start, no padding, and nothing after them: pixels()
  // is the buffer itself. A cut of the top rows shares the layout but not the whole buffer.
  bool isPlain() const {
    return layout_ == Layout{0, 4, static_cast<std::ptrdiff_t>(width_ * 4)} &&
           (!pixels_ || pixels_->size() == width_ * height_ * 4);
  }

  CGImage(std::size_t width, std::size_t height, std::shared_ptr<const Pixels> rgba,
          bool opaque = false)
      : width_(width),
        height_(height),
        pixels_(std::move(rgba)),
        layout_{0, 4, static_cast<std::ptrdiff_t>(width * 4)},
        opaque_(opaque) {}

 private:
  struct Plain;  // a view's pixels() once made

  std::size_t width_;
  std::size_t height_;
  std::shared_ptr<const Pixels> pixels_;
  Layout layout_;
  bool opaque_ = false;
  std::shared_ptr<Plain> plain_;  // views only; shared by copies
};

}  // namespace CoreGraphics
