#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "Foundation/Data.hpp"
#include "Photos/PHObject.hpp"
#include "UIKit/UIImage.hpp"

namespace Photos {

// Swift's PHImageRequestOptions, the part the kit sets.
struct PHImageRequestOptions {
  enum class Version : int { current = 0, unadjusted = 1, original = 2 };
  Version version = Version::current;
  bool isSynchronous = false;
  bool isNetworkAccessAllowed = false;
};

using PHImageRequestID = std::int32_t;
inline constexpr const char* PHImageErrorKey = "PHImageErrorKey";

// Swift's PHImageManager.
class PHImageManager {
 public:
  using DataHandler = std::function<void(
      std::optional<Foundation::Data> imageData, std::optional<std::string> dataUTI,
      UIKit::UIImage::Orientation orientation, const std::map<std::string, std::string>& info)>;

  // Swift `PHImageManager.default()`.
  static const std::shared_ptr<PHImageManager>& defaultManager();

  // Swift `requestImageData(for:options:resultHandler:)`: the asset's file as kept, its type
  // and its EXIF orientation; no data for a video or a file that is gone. Synchronous: the
  // handler runs on the caller's thread before the call returns, never needing the main
  // thread. Otherwise it runs once on a platform thread.
  PHImageRequestID requestImageData(const PHAsset& asset,
                                    const std::optional<PHImageRequestOptions>& options,
                                    DataHandler resultHandler);
};

}  // namespace Photos
