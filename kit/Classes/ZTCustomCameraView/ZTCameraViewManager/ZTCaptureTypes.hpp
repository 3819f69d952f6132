#pragma once

#include <optional>

#include <Foundation/NSError.hpp>

namespace ZentrelSDK {

// The camera's availability as the camera manager reports it.
enum class CameraState { ready, accessDenied, noDeviceFound, notDetermined };

// The camera manager's selected camera.
enum class CameraDevice { front, back };

// Flash for photos, torch for video. `automatic` is the kit's `auto`, a keyword here.
enum class CameraFlashMode : int { off = 0, on = 1, automatic = 2 };

// Which outputs the capture session carries.
enum class CameraOutputMode { stillImage, videoWithMic, videoOnly };

// Selects the session preset.
enum class CameraOutputQuality : int { low = 0, medium = 1, high = 2 };

// Capture failures; no texts of their own.
enum class CaptureError {
  noImageData,
  invalidImageData,
  noVideoConnection,
  noSampleBuffer,
  assetNotSaved
};

int rawValue(CameraFlashMode mode);
int rawValue(CameraOutputQuality quality);
// From an integer raw value: nothing outside 0, 1, 2.
template <class E>
std::optional<E> fromRawValue(int rawValue);
template <>
std::optional<CameraFlashMode> fromRawValue<CameraFlashMode>(int rawValue);
template <>
std::optional<CameraOutputQuality> fromRawValue<CameraOutputQuality>(int rawValue);

inline constexpr const char* CaptureErrorDomain = "ZentrelSDK.CaptureError";
// The error as a platform error: the kit's domain and the case's position as its code.
Foundation::NSError asNSError(CaptureError error);

}  // namespace ZentrelSDK
