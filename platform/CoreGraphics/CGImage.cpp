#include "CoreGraphics/CGImage.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

namespace CoreGraphics {

struct CGImage::Plain {
  std::once_flag once;
  std::shared_ptr<const Pixels> pixels;
};

std::shared_ptr<const CGImage> CGImage::make(std::size_t width, std::size_t height,
                                             std::shared_ptr<const Pixels> rgba) {
  if (!rgba || width == 0 || height == 0 || rgba->size() / 4 / width != height ||
      rgba->size() != width * height * 4)
    return nullptr;
  return std::make_shared<const CGImage>(width, height, std::move(rgba));
}

std::shared_ptr<const CGImage> CGImage::make(std::size_t width, std::size_t height,
                                             std::shared_ptr<const Pixels> rgba, Layout layout,
                                             bool opaque) {
  // Bounds small enough that no product below overflows.
  constexpr std::ptrdiff_t kLimit = std::ptrdiff_t{1} << 31;
  if (!rgba || width == 0 || height == 0 || width >= kLimit || height >= kLimit ||
      std::abs(layout.xStep) >= kLimit || std::abs(layout.yStep) >= kLimit ||
      layout.offset >= rgba->size())
    return nullptr;
  const auto offset = static_cast<std::ptrdiff_t>(layout.offset);
  const auto across = static_cast<std::ptrdiff_t>(width - 1) * layout.xStep;
  const auto down = static_cast<std::ptrdiff_t>(height - 1) * layout.yStep;
  const auto first =
      offset + std::min<std::ptrdiff_t>(across, 0) + std::min<std::ptrdiff_t>(down, 0);
  const auto last =
      offset + std::max<std::ptrdiff_t>(across, 0) + std::max<std::ptrdiff_t>(down, 0);
  if (first < 0 || last + 4 > static_cast<std::ptrdiff_t>(rgba->size())) return nullptr;
  auto image = std::make_shared<CGImage>(width, height, std::move(rgba), opaque);
  image->layout_ = layout;
  if (!image->isPlain()) image->plain_ = std::make_shared<Plain>();
  return image;
}

const std::shared_ptr<const CGImage::Pixels>& CGImage::sharedPixels() const {
  if (!plain_) return pixels_;
  std::call_once(plain_->once, [this] {
    auto out = std::make_shared<Pixels>(width_ * height_ * 4);
    auto* dst = out->data();
    for (std::size_t y = 0; y < height_; ++y) {
      if (layout_.xStep == 4) {
        std::memcpy(dst, pixel(0, y), width_ * 4);
        dst += width_ * 4;
        continue;
      }
      for (std::size_t x = 0; x < width_; ++x, dst += 4) std::memcpy(dst, pixel(x, y), 4);
    }
    plain_->pixels = std::move(out);
  });
  return plain_->pixels;
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
  Layout cut = layout_;
  cut.offset = static_cast<std::size_t>(pixel(left, top) - pixels_->data());
  return make(cutWidth, cutHeight, pixels_, cut, opaque_);
}

std::shared_ptr<const CGImage> CGImage::markedOpaque() const {
  auto image = std::make_shared<CGImage>(*this);
  image->opaque_ = true;
  return image;
}

}  // namespace CoreGraphics
