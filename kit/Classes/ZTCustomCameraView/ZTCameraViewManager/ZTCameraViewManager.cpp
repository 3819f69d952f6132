#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManager.hpp"

#include <AVFoundation/AVTypes.hpp>
#include <Foundation/Thread.hpp>

#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManagerInternal.hpp"

// The manager's properties, their defaults and change hooks, construction and destruction.

namespace ZentrelSDK {

using AVFoundation::AVCaptureDevice;
using AVFoundation::AVMediaType;

namespace {
template <class T>
T locked(std::mutex& mutex, const T& field) {
  std::lock_guard lock(mutex);
  return field;
}
template <class T>
void store(std::mutex& mutex, T& field, T value) {
  std::lock_guard lock(mutex);
  field = std::move(value);
}
std::shared_ptr<AVCaptureDevice> camera(AVCaptureDevice::Position position) {
  return AVCaptureDevice::defaultDevice(AVCaptureDevice::DeviceType::builtInWideAngleCamera,
                                        AVMediaType::video, position);
}
bool anyFlash() {
  for (auto position : {AVCaptureDevice::Position::front, AVCaptureDevice::Position::back}) {
    if (auto device = camera(position); device && device->hasFlash()) return true;
  }
  return false;
}
}  // namespace

ZTCameraViewManager::ZTCameraViewManager()
    : showErrorBlock_(&ZTCameraViewManager::showDefaultAlert),
      hasFrontCamera_(camera(AVCaptureDevice::Position::front) != nullptr),
      hasFlash_(anyFlash()) {}

ZTCameraViewManager::~ZTCameraViewManager() {
  removeSession();
}

std::optional<std::string> ZTCameraViewManager::imageAlbumName() const {
  return locked(mutex_, imageAlbumName_);
}
void ZTCameraViewManager::setImageAlbumName(std::optional<std::string> name) {
  store(mutex_, imageAlbumName_, std::move(name));
}
std::optional<std::string> ZTCameraViewManager::videoAlbumName() const {
  return locked(mutex_, videoAlbumName_);
}
void ZTCameraViewManager::setVideoAlbumName(std::optional<std::string> name) {
  store(mutex_, videoAlbumName_, std::move(name));
}
std::shared_ptr<AVFoundation::AVCaptureSession> ZTCameraViewManager::captureSession() const {
  return locked(mutex_, captureSession_);
}
bool ZTCameraViewManager::showErrorsToUsers() const {
  return locked(mutex_, showErrorsToUsers_);
}
void ZTCameraViewManager::setShowErrorsToUsers(bool show) {
  store(mutex_, showErrorsToUsers_, show);
}
bool ZTCameraViewManager::showAccessPermissionPopupAutomatically() const {
  return locked(mutex_, showAccessPermissionPopupAutomatically_);
}
void ZTCameraViewManager::setShowAccessPermissionPopupAutomatically(bool show) {
  store(mutex_, showAccessPermissionPopupAutomatically_, show);
}
ZTCameraViewManager::ShowErrorBlock ZTCameraViewManager::showErrorBlock() const {
  return locked(mutex_, showErrorBlock_);
}
void ZTCameraViewManager::setShowErrorBlock(ShowErrorBlock block) {
  store(mutex_, showErrorBlock_, std::move(block));
}
bool ZTCameraViewManager::writeFilesToPhoneLibrary() const {
  return locked(mutex_, writeFilesToPhoneLibrary_);
}
void ZTCameraViewManager::setWriteFilesToPhoneLibrary(bool write) {
  store(mutex_, writeFilesToPhoneLibrary_, write);
}
bool ZTCameraViewManager::shouldFlipFrontCameraImage() const {
  return locked(mutex_, shouldFlipFrontCameraImage_);
}
void ZTCameraViewManager::setShouldFlipFrontCameraImage(bool flip) {
  store(mutex_, shouldFlipFrontCameraImage_, flip);
}
bool ZTCameraViewManager::shouldKeepViewAtOrientationChanges() const {
  return locked(mutex_, shouldKeepViewAtOrientationChanges_);
}
void ZTCameraViewManager::setShouldKeepViewAtOrientationChanges(bool keep) {
  store(mutex_, shouldKeepViewAtOrientationChanges_, keep);
}
bool ZTCameraViewManager::shouldEnableTapToFocus() const {
  return locked(mutex_, shouldEnableTapToFocus_);
}
void ZTCameraViewManager::setShouldEnableTapToFocus(bool enable) {
  store(mutex_, shouldEnableTapToFocus_, enable);
  focusGesture()->setEnabled(enable);
}
bool ZTCameraViewManager::shouldEnablePinchToZoom() const {
  return locked(mutex_, shouldEnablePinchToZoom_);
}
void ZTCameraViewManager::setShouldEnablePinchToZoom(bool enable) {
  store(mutex_, shouldEnablePinchToZoom_, enable);
  zoomGesture()->setEnabled(enable);
}
bool ZTCameraViewManager::shouldEnableExposure() const {
  return locked(mutex_, shouldEnableExposure_);
}
void ZTCameraViewManager::setShouldEnableExposure(bool enable) {
  store(mutex_, shouldEnableExposure_, enable);
  exposureGesture()->setEnabled(enable);
}
bool ZTCameraViewManager::cameraIsReady() const {
  return locked(mutex_, cameraIsSetup_);
}
bool ZTCameraViewManager::hasFrontCamera() const {
  return hasFrontCamera_;
}
bool ZTCameraViewManager::hasFlash() const {
  return hasFlash_;
}
bool ZTCameraViewManager::animateCameraDeviceChange() const {
  return locked(mutex_, animateCameraDeviceChange_);
}
void ZTCameraViewManager::setAnimateCameraDeviceChange(bool animate) {
  store(mutex_, animateCameraDeviceChange_, animate);
}
bool ZTCameraViewManager::animateShutter() const {
  return locked(mutex_, animateShutter_);
}
void ZTCameraViewManager::setAnimateShutter(bool animate) {
  store(mutex_, animateShutter_, animate);
}

CameraDevice ZTCameraViewManager::cameraDevice() const {
  return locked(mutex_, cameraDevice_);
}
void ZTCameraViewManager::setCameraDevice(CameraDevice device) {
  bool acts = false;
  {
    std::lock_guard lock(mutex_);
    acts = cameraIsSetup_ && cameraDevice_ != device;
    cameraDevice_ = device;
  }
  if (acts) cameraDeviceChanged(device);
}

CameraFlashMode ZTCameraViewManager::flashMode() const {
  return locked(mutex_, flashMode_);
}
void ZTCameraViewManager::setFlashMode(CameraFlashMode mode) {
  bool acts = false;
  {
    std::lock_guard lock(mutex_);
    acts = cameraIsSetup_ && flashMode_ != mode;
    flashMode_ = mode;
  }
  if (acts) _updateIlluminationMode(mode);
}

CameraOutputQuality ZTCameraViewManager::cameraOutputQuality() const {
  return locked(mutex_, cameraOutputQuality_);
}
void ZTCameraViewManager::setCameraOutputQuality(CameraOutputQuality quality) {
  bool acts = false;
  {
    std::lock_guard lock(mutex_);
    acts = cameraIsSetup_ && cameraOutputQuality_ != quality;
    cameraOutputQuality_ = quality;
  }
  if (acts) _updateCameraQualityMode(quality);
}

CameraOutputMode ZTCameraViewManager::cameraOutputMode() const {
  return locked(mutex_, cameraOutputMode_);
}
void ZTCameraViewManager::setCameraOutputMode(CameraOutputMode mode) {
  bool acts = false;
  CameraOutputMode old{};
  {
    std::lock_guard lock(mutex_);
    acts = cameraIsSetup_;
    old = cameraOutputMode_;
    cameraOutputMode_ = mode;
  }
  if (acts) cameraOutputModeChanged(mode, old);
}

CoreMedia::CMTime ZTCameraViewManager::recordedDuration() const {
  const auto movie = locked(mutex_, movieOutput_);
  return movie ? movie->recordedDuration() : CoreMedia::kCMTimeZero;
}
std::int64_t ZTCameraViewManager::recordedFileSize() const {
  const auto movie = locked(mutex_, movieOutput_);
  return movie ? movie->recordedFileSize() : 0;
}
AVCaptureDevice::FocusMode ZTCameraViewManager::focusMode() const {
  return locked(mutex_, focusMode_);
}
void ZTCameraViewManager::setFocusMode(AVCaptureDevice::FocusMode mode) {
  store(mutex_, focusMode_, mode);
}
AVCaptureDevice::ExposureMode ZTCameraViewManager::exposureMode() const {
  return locked(mutex_, exposureMode_);
}
void ZTCameraViewManager::setExposureMode(AVCaptureDevice::ExposureMode mode) {
  store(mutex_, exposureMode_, mode);
}
AVFoundation::AVCaptureVideoStabilizationMode ZTCameraViewManager::videoStabilisationMode() const {
  return locked(mutex_, videoStabilisationMode_);
}
void ZTCameraViewManager::setVideoStabilisationMode(
    AVFoundation::AVCaptureVideoStabilizationMode mode) {
  store(mutex_, videoStabilisationMode_, mode);
}
float ZTCameraViewManager::exposureValue() const {
  return locked(mutex_, exposureValue_);
}
void ZTCameraViewManager::setExposureValue(float value) {
  store(mutex_, exposureValue_, value);
}
float ZTCameraViewManager::translationY() const {
  return locked(mutex_, translationY_);
}
void ZTCameraViewManager::setTranslationY(float value) {
  store(mutex_, translationY_, value);
}
std::optional<UIKit::CGPoint> ZTCameraViewManager::startPanPointInPreviewLayer() const {
  return locked(mutex_, startPanPointInPreviewLayer_);
}
double ZTCameraViewManager::photoCaptureTimeout() const {
  return locked(mutex_, photoCaptureTimeout_);
}
void ZTCameraViewManager::setPhotoCaptureTimeout(double seconds) {
  // A wait that never ends, or ends before it starts, is no bound.
  if (!(seconds > 0) || seconds > 24 * 3600) return;
  store(mutex_, photoCaptureTimeout_, seconds);
}

std::shared_ptr<AVFoundation::AVCaptureVideoPreviewLayer> ZTCameraViewManager::previewLayer()
    const {
  return locked(mutex_, previewLayer_);
}

void ZTCameraViewManager::cameraDeviceChanged(CameraDevice device) {
  if (animateCameraDeviceChange()) {
    // Views belong to the main thread; a write from elsewhere flips the preview a turn later.
    if (Foundation::Thread::isMainThread()) {
      _doFlipAnimation();
    } else {
      Dispatch::DispatchQueue::main().async([weak = weak_from_this()] {
        if (auto self = weak.lock()) self->_doFlipAnimation();
      });
    }
  }
  _updateCameraDevice(device);
  _updateIlluminationMode(flashMode());
  _setupMaxZoomScale();
  _zoom(0);
  _orientationChanged();
}

void ZTCameraViewManager::cameraOutputModeChanged(CameraOutputMode newMode,
                                                  CameraOutputMode oldMode) {
  if (newMode != oldMode) _setupOutputMode(newMode, oldMode);
  _setupMaxZoomScale();
  _zoom(0);
}

CameraFlashMode ZTCameraViewManager::changeFlashMode() {
  const auto next = *fromRawValue<CameraFlashMode>((rawValue(flashMode()) + 1) % 3);
  setFlashMode(next);
  return flashMode();
}

CameraOutputQuality ZTCameraViewManager::changeQualityMode() {
  const auto next = *fromRawValue<CameraOutputQuality>((rawValue(cameraOutputQuality()) + 1) % 3);
  setCameraOutputQuality(next);
  return cameraOutputQuality();
}

bool ZTCameraViewManager::hasFlash(CameraDevice device) const {
  const auto found = camera(device == CameraDevice::back ? AVCaptureDevice::Position::back
                                                         : AVCaptureDevice::Position::front);
  return found && found->hasFlash();
}

}  // namespace ZentrelSDK
