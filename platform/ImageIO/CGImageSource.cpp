#include "ImageIO/CGImageSource.hpp"

#include "ImageIO/JPEGCodec.hpp"
#include "ImageIO/UTType.hpp"

namespace ImageIO {

struct CGImageSource::Layout {
  jpeg::Layout markers;
};

std::shared_ptr<CGImageSource> CGImageSource::createWithData(Foundation::Data data) {
  return std::make_shared<CGImageSource>(std::move(data));
}

CGImageSource::CGImageSource(Foundation::Data data) : data_(std::move(data)) {
  auto markers = jpeg::scan(data_);
  if (!markers) {
    error_ = markers.error();
    return;
  }
  auto size = jpeg::readSize(data_);
  if (!size) {
    error_ = size.error();
    return;
  }
  ImageProperties properties;
  properties.orientation = markers.value().orientation;
  properties.pixelWidth = size.value().width;
  properties.pixelHeight = size.value().height;
  for (const auto& segment : markers.value().app1) {
    const auto* begin = data_.data() + segment.offset;
    properties.app1Segments.emplace_back(begin, begin + segment.length);
  }
  properties_ = std::move(properties);
  layout_ = std::make_shared<const Layout>(Layout{std::move(markers).value()});
}

std::optional<std::string> CGImageSource::type() const {
  if (!layout_) return std::nullopt;
  return std::string(kUTTypeJPEG);
}

Foundation::Result<ImageProperties, ImageIOError> CGImageSource::copyProperties(
    std::size_t index) const {
  if (error_) return Foundation::failure(*error_);
  if (index != 0) return Foundation::failure(ImageIOError{ImageIOError::Code::indexOutOfRange, {}});
  return Foundation::success(*properties_);
}

Foundation::Result<std::shared_ptr<const CoreGraphics::CGImage>, ImageIOError>
CGImageSource::createImage(std::size_t index) const {
  if (error_) return Foundation::failure(*error_);
  if (index != 0) return Foundation::failure(ImageIOError{ImageIOError::Code::indexOutOfRange, {}});
  return jpeg::decode(data_);
}

}  // namespace ImageIO
