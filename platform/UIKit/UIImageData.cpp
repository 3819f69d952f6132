// UIImage's JPEG reading and writing, through ImageIO.
#include <cmath>

#include "ImageIO/CGImageDestination.hpp"
#include "ImageIO/CGImageSource.hpp"
#include "ImageIO/UTType.hpp"
#include "UIKit/UIImage.hpp"

namespace UIKit {

namespace {
// EXIF orientations 1...8 in UIImage.Orientation's terms.
constexpr UIImage::Orientation kFromExif[] = {UIImage::Orientation::Up,
                                              UIImage::Orientation::UpMirrored,
                                              UIImage::Orientation::Down,
                                              UIImage::Orientation::DownMirrored,
                                              UIImage::Orientation::LeftMirrored,
                                              UIImage::Orientation::Right,
                                              UIImage::Orientation::RightMirrored,
                                              UIImage::Orientation::Left};

int exifOrientation(UIImage::Orientation orientation) {
  for (int i = 0; i < 8; ++i)
    if (kFromExif[i] == orientation) return i + 1;
  return 1;
}
}  // namespace

UIImage::Orientation UIImage::orientationFromExif(int exifOrientation) {
  if (exifOrientation < 1 || exifOrientation > 8) return Orientation::Up;
  return kFromExif[exifOrientation - 1];
}

std::shared_ptr<UIImage> UIImage::withData(const Foundation::Data& data, CGFloat scale) {
  if (!std::isfinite(scale) || scale <= 0) return nullptr;
  const auto source = ImageIO::CGImageSource::createWithData(data);
  const auto properties = source->copyProperties(0);
  if (!properties) return nullptr;
  auto image = source->createImage(0);
  if (!image) return nullptr;
  const int exif = properties.value().orientation.value_or(1);
  return withCGImage(std::move(image).value(), scale, orientationFromExif(exif));
}

std::shared_ptr<UIImage> UIImage::withCGImage(std::shared_ptr<const CoreGraphics::CGImage> image,
                                              CGFloat scale, Orientation orientation) {
  if (!image || !std::isfinite(scale) || scale <= 0) return nullptr;
  const auto width = image->width();
  const auto height = image->height();
  if (!image->isPlain()) {
    auto made = std::make_shared<UIImage>(width, height, nullptr, scale, orientation);
    made->opaque_ = image->isOpaque();
    made->bitmap_ = std::move(image);
    return made;
  }
  auto made = std::make_shared<UIImage>(width, height, image->sharedPixels(), scale, orientation);
  made->opaque_ = image->isOpaque();
  return made;
}

std::shared_ptr<const CoreGraphics::CGImage> UIImage::cgImage() const {
  if (bitmap_) return bitmap_;
  auto bitmap = CoreGraphics::CGImage::make(pixelWidth_, pixelHeight_, pixels_);
  return bitmap && opaque_ ? bitmap->markedOpaque() : bitmap;
}

std::optional<Foundation::Data> UIImage::jpegData(CGFloat compressionQuality) const {
  auto bitmap = cgImage();
  if (!bitmap) return std::nullopt;
  auto destination = ImageIO::CGImageDestination::createWithData(ImageIO::kUTTypeJPEG, 1);
  ImageIO::ImageProperties properties;
  properties.lossyCompressionQuality = compressionQuality;
  if (orientation_ != Orientation::Up) properties.orientation = exifOrientation(orientation_);
  destination->addImage(std::move(bitmap), properties);
  if (!destination->finalize()) return std::nullopt;
  return destination->data();
}

std::optional<ImageIO::ImageProperties> UIImage::pngProperties() const {
  const auto bitmap = cgImage();
  if (!bitmap) return std::nullopt;
  ImageIO::ImageProperties properties;
  properties.pixelWidth = pixelWidth_;
  properties.pixelHeight = pixelHeight_;
  properties.hasAlpha = !opaque_;
  properties.colorModel = "RGB";
  properties.dpiWidth = properties.dpiHeight = 72 * scale_;
  return properties;
}

}  // namespace UIKit
