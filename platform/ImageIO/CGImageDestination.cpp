#include "ImageIO/CGImageDestination.hpp"

#include "ImageIO/JPEGCodec.hpp"
#include "ImageIO/UTType.hpp"

namespace ImageIO {

namespace {
// The platform's quality when none is asked for.
constexpr double kDefaultQuality = 0.75;

// The APP1 segments to write: as given, with the orientation put into the first EXIF one.
std::vector<Foundation::Data> app1For(const ImageProperties& properties) {
  std::vector<Foundation::Data> segments = properties.app1Segments;
  const auto orientation = properties.orientation;
  if (!orientation || *orientation < 1 || *orientation > 8) return segments;
  for (auto& segment : segments) {
    if (!jpeg::isExifSegment(segment)) continue;
    if (jpeg::exifOrientation(segment) != orientation) {
      auto patched = segment;
      if (jpeg::setExifOrientation(patched, *orientation))
        segment = std::move(patched);
      else
        break;  // an EXIF block without the entry: a small one goes in front
    }
    return segments;
  }
  segments.insert(segments.begin(), jpeg::exifSegmentWithOrientation(*orientation));
  return segments;
}
}  // namespace

std::shared_ptr<CGImageDestination> CGImageDestination::createWithData(std::string_view type,
                                                                       std::size_t count) {
  if (type != kUTTypeJPEG || count != 1) return nullptr;
  return std::make_shared<CGImageDestination>(count);
}

void CGImageDestination::addImage(std::shared_ptr<const CoreGraphics::CGImage> image,
                                  const ImageProperties& properties) {
  std::lock_guard lock(mutex_);
  entries_.push_back(Entry{std::move(image), properties});
}

Foundation::Result<void, ImageIOError> CGImageDestination::finalize() {
  std::lock_guard lock(mutex_);
  if (finalized_)
    return Foundation::failure(ImageIOError{ImageIOError::Code::alreadyFinalized, {}});
  finalized_ = true;
  if (entries_.empty() || !entries_.front().image)
    return Foundation::failure(ImageIOError{ImageIOError::Code::noImage, {}});
  if (entries_.size() > count_)
    return Foundation::failure(ImageIOError{ImageIOError::Code::tooManyImages, {}});
  const auto& entry = entries_.front();
  auto bytes =
      jpeg::encode(*entry.image, entry.properties.lossyCompressionQuality.value_or(kDefaultQuality),
                   app1For(entry.properties));
  entries_.clear();  // the bitmap is no longer needed
  if (!bytes) return Foundation::failure(bytes.error());
  data_ = std::move(bytes).value();
  return Foundation::success();
}

Foundation::Data CGImageDestination::data() const {
  std::lock_guard lock(mutex_);
  return data_;
}

}  // namespace ImageIO
