#include "CoreGraphics/CGContext.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace CoreGraphics {

namespace {
// The same bound as a decoded image: 50 MP.
constexpr double kMaxPixels = 50'000'000.0;
}  // namespace

std::shared_ptr<CGContext> CGContext::makeBitmap(std::size_t pixelWidth, std::size_t pixelHeight,
                                                 bool opaque, CGFloat scale) {
  if (pixelWidth == 0 || pixelHeight == 0 || !std::isfinite(scale) || scale <= 0 ||
      static_cast<double>(pixelWidth) * static_cast<double>(pixelHeight) > kMaxPixels)
    return nullptr;
  return std::make_shared<CGContext>(pixelWidth, pixelHeight, opaque, scale);
}

CGContext::CGContext(std::size_t width, std::size_t height, bool opaque, CGFloat scale)
    : width_(width),
      height_(height),
      opaque_(opaque),
      scale_(scale),
      ctm_(CGAffineTransform::scale(scale, scale)),
      allOpaque_(opaque) {}

void CGContext::allocateBlank() const {
  pixels_ = std::make_shared<CGImage::Pixels>(width_ * height_ * 4);
  if (!opaque_) return;
  // An opaque context starts black, as on the platform.
  for (std::size_t i = 3; i < pixels_->size(); i += 4) (*pixels_)[i] = 255;
}

CGImage::Pixels& CGContext::writablePixels() {
  if (view_) {
    pixels_ = std::make_shared<CGImage::Pixels>(view_->pixels());
    view_.reset();
  } else if (!pixels_) {
    allocateBlank();
  } else if (pixels_.use_count() > 1) {
    // An image made earlier keeps its pixels: copy them away before writing.
    pixels_ = std::make_shared<CGImage::Pixels>(*pixels_);
  }
  return *pixels_;
}

void CGContext::translateBy(CGFloat x, CGFloat y) {
  ctm_ = ctm_.translatedBy(x, y);
}
void CGContext::rotate(CGFloat angle) {
  ctm_ = ctm_.rotated(angle);
}
void CGContext::scaleBy(CGFloat x, CGFloat y) {
  ctm_ = ctm_.scaledBy(x, y);
}

void CGContext::draw(const CGImage& image, const CGAffineTransform& placement) {
  const CGAffineTransform toDevice = placement.concatenating(ctm_);
  const CGFloat det = toDevice.a * toDevice.d - toDevice.b * toDevice.c;
  if (det == 0 || !std::isfinite(det)) return;
  // Walk the bitmap and look each pixel centre up in the image: no gaps, no double writes.
  const CGAffineTransform back = toDevice.inverted();
  if (image.storage() == nullptr) return;
  auto unit = [](CGFloat v) { return v == 0 || v == 1 || v == -1; };
  const bool turned = unit(back.a) && unit(back.b) && unit(back.c) && unit(back.d);
  // The first draw over a whole fresh bitmap only records what it shows.
  if (turned && !pixels_ && !view_) {
    if (auto view = turnedView(image, back)) {
      view_ = std::move(view);
      allOpaque_ = image.isOpaque();
      return;
    }
  }
  auto* dst = writablePixels().data();
  std::size_t covered = 0;
  if (turned) {
    covered = drawTurned(image, back);
  } else {
    const auto w = static_cast<CGFloat>(image.width());
    const auto h = static_cast<CGFloat>(image.height());
    for (std::size_t y = 0; y < height_; ++y) {
      CGPoint p = applying(CGPoint{0.5, static_cast<CGFloat>(y) + 0.5}, back);
      for (std::size_t x = 0; x < width_; ++x, p.x += back.a, p.y += back.b) {
        if (!(p.x >= 0 && p.x < w && p.y >= 0 && p.y < h)) continue;
        const auto u = static_cast<std::size_t>(p.x);
        const auto v = static_cast<std::size_t>(p.y);
        std::memcpy(dst + (y * width_ + x) * 4, image.pixel(u, v), 4);
        ++covered;
      }
    }
  }
  if (covered == width_ * height_)
    allOpaque_ = image.isOpaque();
  else if (!image.isOpaque())
    allOpaque_ = opaque_;
}

// Quarter turns and mirrors at whole-pixel offsets: each bitmap step is one image pixel in a
// fixed direction, so the walk is integer only; tiles keep a turned read inside the cache.
std::size_t CGContext::drawTurned(const CGImage& image, const CGAffineTransform& back) {
  constexpr std::size_t kTile = 64;
  const auto iw = static_cast<long long>(image.width());
  const auto ih = static_cast<long long>(image.height());
  const auto du = static_cast<long long>(back.a), dv = static_cast<long long>(back.b);
  const auto* src = image.pixel(0, 0);
  const std::ptrdiff_t xStep = image.layout().xStep, yStep = image.layout().yStep;
  auto* dst = pixels_->data();
  std::size_t covered = 0;
  for (std::size_t ty = 0; ty < height_; ty += kTile) {
    const std::size_t yEnd = std::min(height_, ty + kTile);
    for (std::size_t tx = 0; tx < width_; tx += kTile) {
      const std::size_t xEnd = std::min(width_, tx + kTile);
      for (std::size_t y = ty; y < yEnd; ++y) {
        const CGPoint p =
            applying(CGPoint{static_cast<CGFloat>(tx) + 0.5, static_cast<CGFloat>(y) + 0.5}, back);
        long long u = static_cast<long long>(std::floor(p.x));
        long long v = static_cast<long long>(std::floor(p.y));
        auto* out = dst + (y * width_ + tx) * 4;
        for (std::size_t x = tx; x < xEnd; ++x, u += du, v += dv, out += 4) {
          if (u < 0 || u >= iw || v < 0 || v >= ih) continue;
          std::memcpy(out, src + (u * xStep + v * yStep), 4);
          ++covered;
        }
      }
    }
  }
  return covered;
}

std::shared_ptr<const CGImage> CGContext::turnedView(const CGImage& image,
                                                     const CGAffineTransform& back) const {
  // Every bitmap pixel centre lands well inside an image pixel, so each is that pixel's.
  auto at = [&](std::size_t x, std::size_t y) {
    return applying(CGPoint{static_cast<CGFloat>(x) + 0.5, static_cast<CGFloat>(y) + 0.5}, back);
  };
  const CGPoint origin = at(0, 0);
  const CGFloat fx = origin.x - std::floor(origin.x), fy = origin.y - std::floor(origin.y);
  if (fx < 0.25 || fx > 0.75 || fy < 0.25 || fy > 0.75) return nullptr;
  const auto u0 = static_cast<long long>(std::floor(origin.x));
  const auto v0 = static_cast<long long>(std::floor(origin.y));
  const auto iw = static_cast<long long>(image.width());
  const auto ih = static_cast<long long>(image.height());
  const auto du = static_cast<long long>(back.a), dv = static_cast<long long>(back.b);
  const auto eu = static_cast<long long>(back.c), ev = static_cast<long long>(back.d);
  for (const auto x : {std::size_t{0}, width_ - 1})
    for (const auto y : {std::size_t{0}, height_ - 1}) {
      const auto sx = static_cast<long long>(x), sy = static_cast<long long>(y);
      const long long u = u0 + sx * du + sy * eu, v = v0 + sx * dv + sy * ev;
      const CGPoint p = at(x, y);
      if (u < 0 || u >= iw || v < 0 || v >= ih || std::floor(p.x) != static_cast<CGFloat>(u) ||
          std::floor(p.y) != static_cast<CGFloat>(v))
        return nullptr;
    }
  const auto& from = image.layout();
  CGImage::Layout layout;
  layout.offset = static_cast<std::size_t>(
      image.pixel(static_cast<std::size_t>(u0), static_cast<std::size_t>(v0)) -
      image.storage()->data());
  layout.xStep = du * from.xStep + dv * from.yStep;
  layout.yStep = eu * from.xStep + ev * from.yStep;
  return CGImage::make(width_, height_, image.storage(), layout, image.isOpaque());
}

std::shared_ptr<const CGImage> CGContext::makeImage() const {
  if (view_) return view_;
  if (!pixels_) allocateBlank();
  // Shared, not copied: a later draw copies first.
  return std::make_shared<const CGImage>(width_, height_, pixels_, allOpaque_);
}

}  // namespace CoreGraphics
