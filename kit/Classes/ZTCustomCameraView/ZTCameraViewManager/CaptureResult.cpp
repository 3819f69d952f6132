#include "ZTCustomCameraView/ZTCameraViewManager/CaptureResult.hpp"

namespace ZentrelSDK {

std::optional<Foundation::Data> CaptureResult::imageData() const {
  if (const auto* success = successValue()) return success->content.asData();
  return std::nullopt;
}

}  // namespace ZentrelSDK
