#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "CoreGraphics/CGImage.hpp"
#include "Foundation/Data.hpp"
#include "Foundation/Result.hpp"
#include "ImageIO/ImageIOError.hpp"
#include "ImageIO/ImageProperties.hpp"

namespace ImageIO {

// Swift's CGImageDestination writing into memory (JPEG only, one image). The bytes are
// written at finalize; data() holds them afterwards. Thread-safe.
class CGImageDestination {
 public:
  // Swift `CGImageDestinationCreateWithData`: null for a type other than kUTTypeJPEG or a
  // count other than 1.
  static std::shared_ptr<CGImageDestination> createWithData(std::string_view type,
                                                            std::size_t count);

  // Swift `CGImageDestinationAddImage`. The properties' APP1 segments are written as they
  // are; an orientation is written into the EXIF segment (patched, or a new one).
  void addImage(std::shared_ptr<const CoreGraphics::CGImage> image,
                const ImageProperties& properties = {});

  // Swift `CGImageDestinationFinalize`: an error when no image with pixels was added, more
  // were added than the count, the encoder fails, or it was finalized before.
  Foundation::Result<void, ImageIOError> finalize();

  // The written JPEG; empty before a successful finalize.
  Foundation::Data data() const;

  explicit CGImageDestination(std::size_t count) : count_(count) {}

 private:
  struct Entry {
    std::shared_ptr<const CoreGraphics::CGImage> image;
    ImageProperties properties;
  };
  const std::size_t count_;
  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
  Foundation::Data data_;
  bool finalized_ = false;
};

}  // namespace ImageIO
