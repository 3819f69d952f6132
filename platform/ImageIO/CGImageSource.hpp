#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "CoreGraphics/CGImage.hpp"
#include "Foundation/Data.hpp"
#include "Foundation/Result.hpp"
#include "ImageIO/ImageIOError.hpp"
#include "ImageIO/ImageProperties.hpp"

namespace ImageIO {

// Swift's CGImageSource over bytes in memory (JPEG only). Its markers are read at creation;
// pixels only when an image is asked for. Immutable, so any thread may use it.
class CGImageSource {
 public:
  // Swift `CGImageSourceCreateWithData`. Never null: bytes that are not a readable JPEG give
  // a source whose count is 0 and whose calls return the reason.
  static std::shared_ptr<CGImageSource> createWithData(Foundation::Data data);

  // Number of images: 1 for a JPEG whose headers read, else 0.
  std::size_t count() const { return layout_ ? 1 : 0; }
  // The type identifier (kUTTypeJPEG), or nullopt when unknown.
  std::optional<std::string> type() const;
  // Why the bytes cannot be read, or nullopt when their headers read.
  std::optional<ImageIOError> status() const { return error_; }

  // Swift `CGImageSourceCopyPropertiesAtIndex`: orientation, size and the raw APP1 segments.
  Foundation::Result<ImageProperties, ImageIOError> copyProperties(std::size_t index) const;
  // Swift `CGImageSourceCreateImageAtIndex`: the decoded bitmap, as stored (orientation not
  // applied). A truncated or corrupt stream is an error.
  Foundation::Result<std::shared_ptr<const CoreGraphics::CGImage>, ImageIOError> createImage(
      std::size_t index) const;

  const Foundation::Data& data() const { return data_; }

  explicit CGImageSource(Foundation::Data data);

 private:
  struct Layout;
  Foundation::Data data_;
  std::shared_ptr<const Layout> layout_;
  std::optional<ImageIOError> error_;
  std::optional<ImageProperties> properties_;
};

}  // namespace ImageIO
