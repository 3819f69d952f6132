#include "UIKit/UIImage.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <map>
#include <mutex>
#include <string>

#include "Foundation/Bundle.hpp"

namespace UIKit {

namespace {
// 2^28 pixels (1 GiB of RGBA) is past any image a device makes.
constexpr double kMaxPixels = 268435456.0;

bool validScale(CGFloat scale) {
  return std::isfinite(scale) && scale > 0;
}
}  // namespace

UIImage::UIImage(std::size_t pixelWidth, std::size_t pixelHeight,
                 std::shared_ptr<const Pixels> pixels, CGFloat scale, Orientation orientation)
    : pixelWidth_(pixelWidth),
      pixelHeight_(pixelHeight),
      pixels_(std::move(pixels)),
      scale_(scale),
      orientation_(orientation) {}

std::shared_ptr<UIImage> UIImage::withSize(CGSize size, std::optional<RGBA> color, CGFloat scale) {
  if (!validScale(scale) || !std::isfinite(size.width) || !std::isfinite(size.height) ||
      size.width < 0 || size.height < 0)
    return nullptr;
  const double w = std::round(size.width * scale);
  const double h = std::round(size.height * scale);
  if (w * h > kMaxPixels) return nullptr;
  const auto width = static_cast<std::size_t>(w);
  const auto height = static_cast<std::size_t>(h);
  const RGBA fill = color.value_or(RGBA{});
  auto pixels = std::make_shared<Pixels>(width * height * 4);
  for (std::size_t i = 0; i < pixels->size(); i += 4) {
    (*pixels)[i] = fill.r;
    (*pixels)[i + 1] = fill.g;
    (*pixels)[i + 2] = fill.b;
    (*pixels)[i + 3] = fill.a;
  }
  return std::make_shared<UIImage>(width, height, std::move(pixels), scale, Orientation::Up);
}

std::shared_ptr<UIImage> UIImage::withPixels(std::size_t pixelWidth, std::size_t pixelHeight,
                                             std::optional<Pixels> rgba, CGFloat scale,
                                             Orientation orientation) {
  if (!validScale(scale)) return nullptr;
  if (static_cast<double>(pixelWidth) * static_cast<double>(pixelHeight) > kMaxPixels)
    return nullptr;
  if (rgba && rgba->size() != pixelWidth * pixelHeight * 4) return nullptr;
  std::shared_ptr<const Pixels> pixels;
  if (rgba) pixels = std::make_shared<const Pixels>(std::move(*rgba));
  return std::make_shared<UIImage>(pixelWidth, pixelHeight, std::move(pixels), scale, orientation);
}

CGSize UIImage::size() const {
  const CGFloat w = static_cast<CGFloat>(pixelWidth_) / scale_;
  const CGFloat h = static_cast<CGFloat>(pixelHeight_) / scale_;
  switch (orientation_) {
    case Orientation::Left:
    case Orientation::Right:
    case Orientation::LeftMirrored:
    case Orientation::RightMirrored:
      return {h, w};
    default:
      return {w, h};
  }
}

std::optional<UIImage::RGBA> UIImage::pixelAt(std::size_t x, std::size_t y) const {
  if (!hasPixels() || x >= pixelWidth_ || y >= pixelHeight_) return std::nullopt;
  if (bitmap_) {
    const auto* p = bitmap_->pixel(x, y);
    return RGBA{p[0], p[1], p[2], p[3]};
  }
  const std::size_t i = (y * pixelWidth_ + x) * 4;
  return RGBA{(*pixels_)[i], (*pixels_)[i + 1], (*pixels_)[i + 2], (*pixels_)[i + 3]};
}

// Named images from a bundle. The size comes from the PNG header; the pixels are not decoded.

namespace {
struct PNGSize {
  std::size_t width = 0;
  std::size_t height = 0;
};

std::optional<PNGSize> readPNGSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::array<unsigned char, 24> header{};
  if (!in.read(reinterpret_cast<char*>(header.data()), header.size())) return std::nullopt;
  static constexpr std::array<unsigned char, 8> signature{0x89, 'P',  'N',  'G',
                                                          '\r', '\n', 0x1A, '\n'};
  if (!std::equal(signature.begin(), signature.end(), header.begin())) return std::nullopt;
  if (header[12] != 'I' || header[13] != 'H' || header[14] != 'D' || header[15] != 'R')
    return std::nullopt;
  auto be32 = [&](std::size_t at) {
    return (std::size_t{header[at]} << 24) | (std::size_t{header[at + 1]} << 16) |
           (std::size_t{header[at + 2]} << 8) | std::size_t{header[at + 3]};
  };
  PNGSize size{be32(16), be32(20)};
  if (size.width == 0 || size.height == 0) return std::nullopt;
  return size;
}

struct NamedCache {
  std::mutex mutex;
  std::map<std::string, std::shared_ptr<UIImage>> images;  // by file path
};

NamedCache& namedCache() {
  static auto* cache = new NamedCache;
  return *cache;
}
}  // namespace

std::shared_ptr<UIImage> UIImage::named(std::string_view name,
                                        const std::shared_ptr<Foundation::Bundle>& bundle) {
  const auto& where = bundle ? bundle : Foundation::Bundle::main();
  if (name.empty() || !where) return nullptr;
  static constexpr std::array<std::pair<std::string_view, CGFloat>, 3> variants{
      {{"", 1}, {"@2x", 2}, {"@3x", 3}}};
  for (const auto& [suffix, scale] : variants) {
    const auto path = where->pathForResource(std::string(name) + std::string(suffix), "png");
    if (!path) continue;
    auto& cache = namedCache();
    std::lock_guard lock(cache.mutex);
    if (auto it = cache.images.find(*path); it != cache.images.end()) return it->second;
    const auto size = readPNGSize(*path);
    if (!size) return nullptr;
    auto image = withPixels(size->width, size->height, std::nullopt, scale);
    cache.images[*path] = image;
    return image;
  }
  return nullptr;
}

}  // namespace UIKit
