#include "CoreGraphics/CGImage.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace CoreGraphics {

std::shared_ptr<const CGImage> CGImage::make(std::size_t width, std::size_t height,
                                             std::shared_ptr<const Pixels> rgba) {
  if (!rgba || width == 0 || height == 0 || rgba->size() / 4 / width != height ||
      rgba->size() != width * height * 4)
    return nullptr;
  return std::make_shared<const CGImage>(width, height, std::move(rgba));
}

std::shared_ptr<const CGImage> CGImage::cropping(CGRect rect) const {
  if (rect.isNull() || !std::isfinite(rect.origin.x) || !std::isfinite(rect.origin.y) ||
      !std::isfinite(rect.size.width) || !std::isfinite(rect.size.height))
    return nullptr;
  const CGRect r = rect.integral().intersection(
      CGRect::make(0, 0, static_cast<CGFloat>(width_), static_cast<CGFloat>(height_)));
  if (r.isNull() || r.isEmpty()) return nullptr;
  const double x0 = r.minX(), y0 = r.minY(), x1 = r.maxX(), y1 = r.maxY();
  const auto left = static_cast<std::size_t>(x0);
  const auto top = static_cast<std::size_t>(y0);
  const auto cutWidth = static_cast<std::size_t>(x1) - left;
  const auto cutHeight = static_cast<std::size_t>(y1) - top;
  if (cutWidth == width_ && cutHeight == height_) return std::make_shared<const CGImage>(*this);
  auto out = std::make_shared<Pixels>(cutWidth * cutHeight * 4);
  const std::size_t rowBytes = cutWidth * 4;
  for (std::size_t y = 0; y < cutHeight; ++y)
    std::memcpy(out->data() + y * rowBytes, pixels_->data() + ((top + y) * width_ + left) * 4,
                rowBytes);
  return std::make_shared<const CGImage>(cutWidth, cutHeight, std::move(out), opaque_);
}

std::shared_ptr<const CGImage> CGImage::markedOpaque() const {
  return std::make_shared<const CGImage>(width_, height_, pixels_, true);
}

}  // namespace CoreGraphics
