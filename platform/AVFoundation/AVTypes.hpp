#pragma once

#include <string>

#include "Foundation/NSError.hpp"

namespace AVFoundation {

// Swift's AVMediaType.
enum class AVMediaType { video, audio, metadata };

// Swift's AVAuthorizationStatus, with the platform's raw values.
enum class AVAuthorizationStatus : int {
  notDetermined = 0,
  restricted = 1,
  denied = 2,
  authorized = 3
};

// Swift's AVCaptureVideoOrientation, with the platform's raw values.
enum class AVCaptureVideoOrientation : int {
  portrait = 1,
  portraitUpsideDown = 2,
  landscapeRight = 3,
  landscapeLeft = 4,
};

// Swift's AVCaptureVideoStabilizationMode.
enum class AVCaptureVideoStabilizationMode : int {
  off = 0,
  standard = 1,
  cinematic = 2,
  automatic = -1
};

// The EXIF orientation of a picture taken through a connection in this orientation, the
// sensor lying in landscape with its top to the right in portrait.
int exifOrientation(AVCaptureVideoOrientation orientation);

inline constexpr const char* AVFoundationErrorDomain = "AVFoundationErrorDomain";
inline constexpr int AVErrorUnknown = -11800;
inline constexpr int AVErrorOutOfMemory = -11801;
inline constexpr int AVErrorSessionNotRunning = -11803;
inline constexpr int AVErrorDeviceAlreadyUsedByAnotherSession = -11804;
inline constexpr int AVErrorNoDataCaptured = -11805;
inline constexpr int AVErrorMaximumDurationReached = -11810;
inline constexpr int AVErrorDeviceNotConnected = -11814;
inline constexpr int AVErrorSessionWasInterrupted = -11818;
inline constexpr int AVErrorDeviceLockedForConfigurationByAnotherProcess = -11817;
inline constexpr int AVErrorApplicationIsNotAuthorizedToUseDevice = -11852;

// An AVFoundationErrorDomain error with a description.
Foundation::NSError avError(int code, const std::string& description);

}  // namespace AVFoundation
