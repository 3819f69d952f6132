#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "AVFoundation/AVTypes.hpp"
#include "CoreGraphics/CGGeometry.hpp"
#include "CoreMedia/CMTime.hpp"
#include "Foundation/NSError.hpp"
#include "Foundation/Result.hpp"

namespace AVFoundation {

// Swift `AVCaptureISOCurrent`: keep the ISO as it is.
inline constexpr float AVCaptureISOCurrent = 0;

// Swift's AVCaptureDevice: one simulated camera or microphone (see SimulatedCapture).
// Settings change only between lockForConfiguration() and unlockForConfiguration(); a setter
// outside the lock, or with an unsupported value, changes nothing and returns false (the
// platform raises). Thread-safe; callbacks come on a platform thread.
class AVCaptureDevice : public std::enable_shared_from_this<AVCaptureDevice> {
 public:
  enum class Position : int { unspecified = 0, back = 1, front = 2 };
  enum class DeviceType { builtInWideAngleCamera, builtInMicrophone };
  // `automatic` is Swift's `.auto`, a keyword here.
  enum class FlashMode : int { off = 0, on = 1, automatic = 2 };
  enum class TorchMode : int { off = 0, on = 1, automatic = 2 };
  enum class FocusMode : int { locked = 0, autoFocus = 1, continuousAutoFocus = 2 };
  enum class ExposureMode : int {
    locked = 0,
    autoExpose = 1,
    continuousAutoExposure = 2,
    custom = 3
  };

  // Swift's AVCaptureDevice.Format, the part the kit reads.
  struct Format {
    CoreGraphics::CGFloat videoMaxZoomFactor = 16;
    CoreMedia::CMTime minExposureDuration = CoreMedia::CMTimeMake(1, 8000);
    CoreMedia::CMTime maxExposureDuration = CoreMedia::CMTimeMake(1, 2);
    float minISO = 25;
    float maxISO = 2000;
  };

  // What a simulated device is and can do.
  struct Hardware {
    DeviceType type = DeviceType::builtInWideAngleCamera;
    Position position = Position::back;
    std::string name = "Back Camera";
    bool hasFlash = true;
    bool hasTorch = true;
    std::vector<FocusMode> focusModes{FocusMode::locked, FocusMode::autoFocus,
                                      FocusMode::continuousAutoFocus};
    std::vector<ExposureMode> exposureModes{ExposureMode::locked, ExposureMode::autoExpose,
                                            ExposureMode::continuousAutoExposure,
                                            ExposureMode::custom};
    bool focusPointOfInterestSupported = true;
    bool exposurePointOfInterestSupported = true;
    Format format;
  };

  // Swift `AVCaptureDevice.default(_:for:position:)`: null when there is none.
  static std::shared_ptr<AVCaptureDevice> defaultDevice(DeviceType type, AVMediaType mediaType,
                                                        Position position);
  // Swift `AVCaptureDevice.default(for:)`: the back camera first for video.
  static std::shared_ptr<AVCaptureDevice> defaultDevice(AVMediaType mediaType);

  static AVAuthorizationStatus authorizationStatus(AVMediaType mediaType);
  // Asks the owner when the status is not determined; the answer comes on a platform thread,
  // after the simulated delay on the process clock. Otherwise answers the current status.
  static void requestAccess(AVMediaType mediaType, std::function<void(bool granted)> handler);

  const std::string& uniqueID() const { return uniqueID_; }
  const std::string& localizedName() const { return hardware_.name; }
  Position position() const { return hardware_.position; }
  DeviceType deviceType() const { return hardware_.type; }
  bool hasMediaType(AVMediaType mediaType) const;
  bool hasFlash() const { return hardware_.hasFlash; }
  bool hasTorch() const { return hardware_.hasTorch; }
  const Format& activeFormat() const { return hardware_.format; }

  // Nested locks count; a simulated failure returns the platform's error.
  Foundation::Result<void, Foundation::NSError> lockForConfiguration();
  void unlockForConfiguration();
  bool isLockedForConfiguration() const;

  bool isTorchModeSupported(TorchMode mode) const;
  TorchMode torchMode() const;
  bool setTorchMode(TorchMode mode);

  bool isFocusModeSupported(FocusMode mode) const;
  FocusMode focusMode() const;
  bool setFocusMode(FocusMode mode);
  bool isFocusPointOfInterestSupported() const { return hardware_.focusPointOfInterestSupported; }
  CoreGraphics::CGPoint focusPointOfInterest() const;
  bool setFocusPointOfInterest(CoreGraphics::CGPoint point);

  bool isExposureModeSupported(ExposureMode mode) const;
  ExposureMode exposureMode() const;
  bool setExposureMode(ExposureMode mode);
  bool isExposurePointOfInterestSupported() const {
    return hardware_.exposurePointOfInterestSupported;
  }
  CoreGraphics::CGPoint exposurePointOfInterest() const;
  bool setExposurePointOfInterest(CoreGraphics::CGPoint point);

  // From 1 to the active format's largest factor.
  CoreGraphics::CGFloat videoZoomFactor() const;
  bool setVideoZoomFactor(CoreGraphics::CGFloat factor);

  CoreMedia::CMTime exposureDuration() const;
  float iso() const;
  // Swift `setExposureModeCustom(duration:iso:completionHandler:)`: in custom mode, the
  // duration clamped to the format's range (an invalid time keeps the current one) and the ISO
  // (AVCaptureISOCurrent keeps it); the handler, if any, gets the time of the change.
  bool setExposureModeCustom(CoreMedia::CMTime duration, float iso,
                             std::function<void(CoreMedia::CMTime)> completionHandler = nullptr);

  AVCaptureDevice(Hardware hardware, std::string uniqueID);

 private:
  bool lockedLocked() const { return lockCount_ > 0; }

  const Hardware hardware_;
  const std::string uniqueID_;
  mutable std::mutex mutex_;
  int lockCount_ = 0;
  TorchMode torchMode_ = TorchMode::off;
  FocusMode focusMode_ = FocusMode::continuousAutoFocus;
  ExposureMode exposureMode_ = ExposureMode::continuousAutoExposure;
  CoreGraphics::CGPoint focusPoint_{0.5, 0.5};
  CoreGraphics::CGPoint exposurePoint_{0.5, 0.5};
  CoreGraphics::CGFloat zoom_ = 1;
  CoreMedia::CMTime exposureDuration_ = CoreMedia::CMTimeMake(1, 60);
  float iso_ = 100;
};

}  // namespace AVFoundation
