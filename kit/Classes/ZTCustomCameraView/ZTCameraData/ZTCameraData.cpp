#include "ZTCustomCameraView/ZTCameraData/ZTCameraData.hpp"

#include <utility>

namespace ZentrelSDK {

ZTCameraData::ZTCameraData(std::optional<Foundation::URL> url, MediaType media)
    : mediaType(media), cacheURL(std::move(url)) {}

std::optional<Foundation::URL> ZTCameraData::getURL() const {
  return cacheURL;
}

MediaType ZTCameraData::getMediaType() const {
  return mediaType;
}

}  // namespace ZentrelSDK
