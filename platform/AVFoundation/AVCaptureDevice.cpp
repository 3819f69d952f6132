#include "AVFoundation/AVCaptureDevice.hpp"

#include <algorithm>
#include <cmath>

#include "AVFoundation/SimulatedCapture.hpp"
#include "Dispatch/DispatchQueue.hpp"

namespace AVFoundation {

namespace {
template <class T>
bool contains(const std::vector<T>& values, T value) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

bool inUnitSquare(CoreGraphics::CGPoint p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && p.x >= 0 && p.x <= 1 && p.y >= 0 && p.y <= 1;
}

// Callbacks of the simulated hardware: a platform thread, after `delay` on the process clock.
void answer(Foundation::TimeInterval delay, std::function<void()> block) {
  auto& queue = Dispatch::DispatchQueue::global(Dispatch::QoS::UserInitiated);
  if (delay > 0)
    queue.asyncAfter(delay, std::move(block));
  else
    queue.async(std::move(block));
}
}  // namespace

AVCaptureDevice::AVCaptureDevice(Hardware hardware, std::string uniqueID)
    : hardware_(std::move(hardware)), uniqueID_(std::move(uniqueID)) {
  if (!hardware_.focusModes.empty() && !contains(hardware_.focusModes, focusMode_))
    focusMode_ = hardware_.focusModes.front();
  if (!hardware_.exposureModes.empty() && !contains(hardware_.exposureModes, exposureMode_))
    exposureMode_ = hardware_.exposureModes.front();
}

std::shared_ptr<AVCaptureDevice> AVCaptureDevice::defaultDevice(DeviceType type,
                                                                AVMediaType mediaType,
                                                                Position position) {
  for (const auto& device : SimulatedCapture::shared().devices()) {
    if (device->deviceType() == type && device->hasMediaType(mediaType) &&
        (position == Position::unspecified || device->position() == position))
      return device;
  }
  return nullptr;
}

std::shared_ptr<AVCaptureDevice> AVCaptureDevice::defaultDevice(AVMediaType mediaType) {
  if (mediaType == AVMediaType::video) {
    if (auto back = defaultDevice(DeviceType::builtInWideAngleCamera, mediaType, Position::back))
      return back;
  }
  for (const auto& device : SimulatedCapture::shared().devices())
    if (device->hasMediaType(mediaType)) return device;
  return nullptr;
}

AVAuthorizationStatus AVCaptureDevice::authorizationStatus(AVMediaType mediaType) {
  return SimulatedCapture::shared().permission(mediaType).status;
}

void AVCaptureDevice::requestAccess(AVMediaType mediaType,
                                    std::function<void(bool granted)> handler) {
  const auto [granted, delay] = SimulatedCapture::shared().prompt(mediaType);
  answer(delay, [mediaType, handler = std::move(handler), granted = granted] {
    SimulatedCapture::shared().settle(mediaType, granted);
    if (handler) handler(granted);
  });
}

bool AVCaptureDevice::hasMediaType(AVMediaType mediaType) const {
  return hardware_.type == DeviceType::builtInMicrophone ? mediaType == AVMediaType::audio
                                                         : mediaType == AVMediaType::video;
}

Foundation::Result<void, Foundation::NSError> AVCaptureDevice::lockForConfiguration() {
  if (auto error = SimulatedCapture::shared().takeLockFailure(hardware_.position))
    return Foundation::failure(*error);
  std::lock_guard lock(mutex_);
  ++lockCount_;
  return Foundation::success();
}

void AVCaptureDevice::unlockForConfiguration() {
  std::lock_guard lock(mutex_);
  if (lockCount_ > 0) --lockCount_;
}

bool AVCaptureDevice::isLockedForConfiguration() const {
  std::lock_guard lock(mutex_);
  return lockedLocked();
}

bool AVCaptureDevice::isTorchModeSupported(TorchMode mode) const {
  return hardware_.hasTorch || mode == TorchMode::off;
}

AVCaptureDevice::TorchMode AVCaptureDevice::torchMode() const {
  std::lock_guard lock(mutex_);
  return torchMode_;
}

bool AVCaptureDevice::setTorchMode(TorchMode mode) {
  std::lock_guard lock(mutex_);
  if (!lockedLocked() || !isTorchModeSupported(mode)) return false;
  torchMode_ = mode;
  return true;
}

bool AVCaptureDevice::isFocusModeSupported(FocusMode mode) const {
  return contains(hardware_.focusModes, mode);
}

AVCaptureDevice::FocusMode AVCaptureDevice::focusMode() const {
  std::lock_guard lock(mutex_);
  return focusMode_;
}

bool AVCaptureDevice::setFocusMode(FocusMode mode) {
  std::lock_guard lock(mutex_);
  if (!lockedLocked() || !isFocusModeSupported(mode)) return false;
  focusMode_ = mode;
  return true;
}

CoreGraphics::CGPoint AVCaptureDevice::focusPointOfInterest() const {
  std::lock_guard lock(mutex_);
  return focusPoint_;
}

bool AVCaptureDevice::setFocusPointOfInterest(CoreGraphics::CGPoint point) {
  std::lock_guard lock(mutex_);
  if (!lockedLocked() || !hardware_.focusPointOfInterestSupported || !inUnitSquare(point))
    return false;
  focusPoint_ = point;
  return true;
}

bool AVCaptureDevice::isExposureModeSupported(ExposureMode mode) const {
  return contains(hardware_.exposureModes, mode);
}

AVCaptureDevice::ExposureMode AVCaptureDevice::exposureMode() const {
  std::lock_guard lock(mutex_);
  return exposureMode_;
}

bool AVCaptureDevice::setExposureMode(ExposureMode mode) {
  std::lock_guard lock(mutex_);
  if (!lockedLocked() || !isExposureModeSupported(mode)) return false;
  exposureMode_ = mode;
  return true;
}

CoreGraphics::CGPoint AVCaptureDevice::exposurePointOfInterest() const {
  std::lock_guard lock(mutex_);
  return exposurePoint_;
}

bool AVCaptureDevice::setExposurePointOfInterest(CoreGraphics::CGPoint point) {
  std::lock_guard lock(mutex_);
  if (!lockedLocked() || !hardware_.exposurePointOfInterestSupported || !inUnitSquare(point))
    return false;
  exposurePoint_ = point;
  return true;
}

CoreGraphics::CGFloat AVCaptureDevice::videoZoomFactor() const {
  std::lock_guard lock(mutex_);
  return zoom_;
}

bool AVCaptureDevice::setVideoZoomFactor(CoreGraphics::CGFloat factor) {
  std::lock_guard lock(mutex_);
  if (!lockedLocked() || !std::isfinite(factor) || factor < 1 ||
      factor > hardware_.format.videoMaxZoomFactor)
    return false;
  zoom_ = factor;
  return true;
}

CoreMedia::CMTime AVCaptureDevice::exposureDuration() const {
  std::lock_guard lock(mutex_);
  return exposureDuration_;
}

float AVCaptureDevice::iso() const {
  std::lock_guard lock(mutex_);
  return iso_;
}

bool AVCaptureDevice::setExposureModeCustom(
    CoreMedia::CMTime duration, float iso,
    std::function<void(CoreMedia::CMTime)> completionHandler) {
  {
    std::lock_guard lock(mutex_);
    if (!lockedLocked() || exposureMode_ != ExposureMode::custom) return false;
    if (duration.isValid()) {
      const double lo = CoreMedia::CMTimeGetSeconds(hardware_.format.minExposureDuration);
      const double hi = CoreMedia::CMTimeGetSeconds(hardware_.format.maxExposureDuration);
      const double seconds = std::clamp(CoreMedia::CMTimeGetSeconds(duration), lo, hi);
      exposureDuration_ = CoreMedia::CMTimeMakeWithSeconds(seconds, 1000000000);
    }
    if (iso != AVCaptureISOCurrent && std::isfinite(iso))
      iso_ = std::clamp(iso, hardware_.format.minISO, hardware_.format.maxISO);
  }
  if (completionHandler) {
    const auto now =
        CoreMedia::CMTimeMakeWithSeconds(Foundation::Clock::current().now(), 1000000000);
    answer(0, [handler = std::move(completionHandler), now] { handler(now); });
  }
  return true;
}

}  // namespace AVFoundation
