#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "Foundation/Data.hpp"
#include "ImageIO/ImageProperties.hpp"

namespace Foundation {
class Bundle;
}  // namespace Foundation

namespace UIKit {

// Swift's UIImage: immutable, shared by reference. Pixels are RGBA8, row by row, stored as
// captured (before the orientation is applied); an image may also carry no pixels.
class UIImage : public std::enable_shared_from_this<UIImage> {
 public:
  // UIImage.Orientation, with UIKit's raw values.
  enum class Orientation : int {
    Up = 0,
    Down = 1,
    Left = 2,
    Right = 3,
    UpMirrored = 4,
    DownMirrored = 5,
    LeftMirrored = 6,
    RightMirrored = 7,
  };
  struct RGBA {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const RGBA&) const = default;
  };
  using Pixels = std::vector<std::uint8_t>;

  // An image of `size` points at `scale`, filled with `color` (transparent when absent).
  // Null for a negative, non-finite or too large size, or a scale that is not positive.
  static std::shared_ptr<UIImage> withSize(CGSize size, std::optional<RGBA> color = std::nullopt,
                                           CGFloat scale = 1);
  // From RGBA8 pixels, width * height * 4 bytes (or none). Null when they do not match.
  static std::shared_ptr<UIImage> withPixels(std::size_t pixelWidth, std::size_t pixelHeight,
                                             std::optional<Pixels> rgba, CGFloat scale = 1,
                                             Orientation orientation = Orientation::Up);

  // Swift `UIImage(named:in:compatibleWith:)`: the bundle's "name.png" (or "name@2x.png",
  // "name@3x.png" at that scale); null when it holds none or the file is not a PNG. A null
  // bundle means the main one. Images found are kept, so each is read once.
  static std::shared_ptr<UIImage> named(
      std::string_view name, const std::shared_ptr<Foundation::Bundle>& bundle = nullptr);

  // Swift `UIImage(data:)`: a JPEG decoded with its EXIF orientation; null when the bytes do
  // not decode (corrupt or truncated included).
  static std::shared_ptr<UIImage> withData(const Foundation::Data& data, CGFloat scale = 1);
  // Swift `UIImage(cgImage:scale:orientation:)`: over the same pixels, no copy.
  static std::shared_ptr<UIImage> withCGImage(std::shared_ptr<const CoreGraphics::CGImage> image,
                                              CGFloat scale = 1,
                                              Orientation orientation = Orientation::Up);
  // Swift `jpegData(compressionQuality:)`: the stored pixels as JPEG with the orientation in
  // its EXIF block; nullopt when there are no pixels or encoding fails.
  std::optional<Foundation::Data> jpegData(CGFloat compressionQuality) const;
  // The properties a PNG of the stored pixels would carry (size, alpha, colour model,
  // resolution; no orientation), without encoding one. nullopt when there are no pixels.
  std::optional<ImageIO::ImageProperties> pngProperties() const;
  // The orientation an EXIF orientation (1...8) names; Up for any other value.
  static Orientation orientationFromExif(int exifOrientation);
  // Swift `draw(in:)`: into the current image context (UIGraphics.hpp), as displayed: the
  // orientation applied, stretched to `rect`. Nothing without a context or pixels.
  void draw(CGRect rect) const;
  // Swift `cgImage`: the stored pixels, null when there are none.
  std::shared_ptr<const CoreGraphics::CGImage> cgImage() const;

  std::size_t pixelWidth() const { return pixelWidth_; }
  std::size_t pixelHeight() const { return pixelHeight_; }
  CGFloat scale() const { return scale_; }
  Orientation imageOrientation() const { return orientation_; }
  // In points, as displayed: width and height swap for the Left/Right orientations.
  CGSize size() const;

  bool hasPixels() const { return pixels_ != nullptr || bitmap_ != nullptr; }
  // Null when the image carries no pixels.
  const Pixels* pixels() const { return bitmap_ ? &bitmap_->pixels() : pixels_.get(); }
  // The stored pixel at (x, y), if there are pixels and it is inside.
  std::optional<RGBA> pixelAt(std::size_t x, std::size_t y) const;

  UIImage(std::size_t pixelWidth, std::size_t pixelHeight, std::shared_ptr<const Pixels> pixels,
          CGFloat scale, Orientation orientation);

 private:
  const std::size_t pixelWidth_;
  const std::size_t pixelHeight_;
  const std::shared_ptr<const Pixels> pixels_;
  const CGFloat scale_;
  const Orientation orientation_;
  bool opaque_ = false;  // every pixel known opaque (from a JPEG or an opaque context)
  // A bitmap that is a view into another's pixels (a cut, a turn), kept as it is so that
  // drawing or encoding it copies nothing; pixels() packs it on first use.
  std::shared_ptr<const CoreGraphics::CGImage> bitmap_;
};

}  // namespace UIKit
