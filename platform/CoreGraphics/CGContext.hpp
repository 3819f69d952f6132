#pragma once

#include <cstddef>
#include <memory>

#include "CoreGraphics/CGGeometry.hpp"
#include "CoreGraphics/CGImage.hpp"

namespace CoreGraphics {

// A bitmap drawing context (RGBA8) with UIKit's axes: origin at the top left, y downwards.
// One thread at a time, like the platform's.
class CGContext {
 public:
  // Null for a zero, non-finite or too large pixel size.
  static std::shared_ptr<CGContext> makeBitmap(std::size_t pixelWidth, std::size_t pixelHeight,
                                               bool opaque, CGFloat scale);

  // Swift `translateBy(x:y:)`, `rotate(by:)` (radians), `scaleBy(x:y:)`: change the current
  // transformation matrix, from user space to the bitmap's points.
  void translateBy(CGFloat x, CGFloat y);
  void rotate(CGFloat angle);
  void scaleBy(CGFloat x, CGFloat y);
  CGAffineTransform ctm() const { return ctm_; }

  // Draws `image` so that `placement` maps its pixel space ((0, 0) to (width, height)) into
  // user space; each covered bitmap pixel takes the image pixel under its centre. The pixels
  // replace what was there (the kit draws one image into a fresh context).
  void draw(const CGImage& image, const CGAffineTransform& placement);

  // Swift `makeImage()`: the bitmap so far, sharing its pixels until the next draw. A context
  // whose one draw so far turned or mirrored a whole image over it gives a view of that image's
  // pixels: the turn is done by whoever reads them (an encoder row by row), not by a full copy.
  std::shared_ptr<const CGImage> makeImage() const;

  std::size_t width() const { return width_; }
  std::size_t height() const { return height_; }
  CGFloat scale() const { return scale_; }

  CGContext(std::size_t width, std::size_t height, bool opaque, CGFloat scale);

 private:
  std::size_t drawTurned(const CGImage& image, const CGAffineTransform& back);
  // The view of `image` that the draw makes, when it covers the whole bitmap in whole pixels.
  std::shared_ptr<const CGImage> turnedView(const CGImage& image,
                                            const CGAffineTransform& back) const;
  // The bitmap as drawn so far, ready to be written: allocated, a pending view copied in.
  CGImage::Pixels& writablePixels();
  void allocateBlank() const;

  std::size_t width_;
  std::size_t height_;
  bool opaque_;
  CGFloat scale_;
  CGAffineTransform ctm_;
  mutable std::shared_ptr<CGImage::Pixels> pixels_;  // allocated on first need
  std::shared_ptr<const CGImage> view_;  // what the one draw so far made, not yet copied
  bool allOpaque_;  // every pixel opaque: an opaque context, or filled by an opaque image
};

}  // namespace CoreGraphics
