#pragma once

#include <optional>

#include <Foundation/URL.hpp>

#include "ZTCustomCameraView/ZTCameraData/MediaType.hpp"

namespace ZentrelSDK {

// The record of one captured medium, shared by reference (held by std::shared_ptr). It only
// names the file; it never touches it.
class ZTCameraData {
 public:
  ZTCameraData(std::optional<Foundation::URL> url, MediaType media);

  std::optional<Foundation::URL> getURL() const;
  MediaType getMediaType() const;

 private:
  MediaType mediaType;
  std::optional<Foundation::URL> cacheURL;
};

}  // namespace ZentrelSDK
