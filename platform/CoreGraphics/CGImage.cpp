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
  const CGRect r = rect.standardized();
  // Arithmetic noise (1380.0000000002) must not grow the cut by a whole pixel.
  auto snap = [](double v) {
    const double whole = std::round(v);
    return std::abs(v - whole) < 1e-6 ? whole : v;
  };
  const double w = static_cast<double>(width_);
  const double h = static_cast<double>(height_);
  const double x0 = std::clamp(std::floor(snap(r.minX())), 0.0, w);
  const double y0 = std::clamp(std::floor(snap(r.minY())), 0.0, h);
  const double x1 = std::clamp(std::ceil(snap(r.maxX())), 0.0, w);
  const double y1 = std::clamp(std::ceil(snap(r.maxY())), 0.0, h);
  if (x1 <= x0 || y1 <= y0) return nullptr;
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
