#include "ZTCustomCameraView/ZTCameraViewManager/ZTCaptureTypes.hpp"

namespace ZentrelSDK {

int rawValue(CameraFlashMode mode) {
  return static_cast<int>(mode);
}

int rawValue(CameraOutputQuality quality) {
  return static_cast<int>(quality);
}

template <>
std::optional<CameraFlashMode> fromRawValue<CameraFlashMode>(int rawValue) {
  if (rawValue < 0 || rawValue > 2) return std::nullopt;
  return static_cast<CameraFlashMode>(rawValue);
}

template <>
std::optional<CameraOutputQuality> fromRawValue<CameraOutputQuality>(int rawValue) {
  if (rawValue < 0 || rawValue > 2) return std::nullopt;
  return static_cast<CameraOutputQuality>(rawValue);
}

Foundation::NSError asNSError(CaptureError error) {
  return Foundation::NSError(CaptureErrorDomain, static_cast<int>(error));
}

}  // namespace ZentrelSDK
