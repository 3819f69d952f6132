#include "ZTCustomCameraView/ZTCameraViewManager/CaptureResult.hpp"

namespace ZentrelSDK {

std::optional<Foundation::Data> CaptureResult::imageData() const {
  if (const auto* success = successValue()) return success->content.asData();
  return std::nullopt;
}

std::string localizedDescription(const CaptureFailure& failure) {
  return std::visit(
      [](const auto& error) -> std::string {
        if constexpr (std::is_same_v<std::decay_t<decltype(error)>, CaptureError>)
          return asNSError(error).localizedDescription();
        else
          return error.localizedDescription();
      },
      failure);
}

}  // namespace ZentrelSDK
