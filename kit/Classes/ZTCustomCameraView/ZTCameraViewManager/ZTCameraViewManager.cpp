#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManager.hpp"

#include <AVFoundation/AVTypes.hpp>
#include <Foundation/Thread.hpp>

#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManagerInternal.hpp"

// The manager's settings, their defaults and change hooks, construction and destruction.

namespace ZentrelSDK {

using AVFoundation::AVCaptureDevice;
using AVFoundation::AVMediaType;

namespace {
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
using Values = CameraSettingValues;
}  // namespace

ZTCameraViewManager::Settings::Settings()
    : hasFrontCamera(camera(AVCaptureDevice::Position::front) != nullptr), hasFlash(anyFlash()) {
  values_.showErrorBlock = &showDefaultAlert;
}

bool ZTCameraViewManager::Settings::mirrorsFrontCamera() const {
  std::lock_guard lock(mutex_);
  return values_.cameraDevice == CameraDevice::front && values_.shouldFlipFrontCameraImage;
}

ZTCameraViewManager::ZTCameraViewManager() : parts_(std::make_unique<Parts>(*this)) {}

ZTCameraViewManager::~ZTCameraViewManager() {
  parts_->session.remove();
}

std::optional<std::string> ZTCameraViewManager::imageAlbumName() const {
  return parts_->settings.get(&Values::imageAlbumName);
}
void ZTCameraViewManager::setImageAlbumName(std::optional<std::string> name) {
  parts_->settings.exchange(&Values::imageAlbumName, std::move(name));
}
std::optional<std::string> ZTCameraViewManager::videoAlbumName() const {
  return parts_->settings.get(&Values::videoAlbumName);
}
void ZTCameraViewManager::setVideoAlbumName(std::optional<std::string> name) {
  parts_->settings.exchange(&Values::videoAlbumName, std::move(name));
}
std::shared_ptr<AVFoundation::AVCaptureSession> ZTCameraViewManager::captureSession() const {
  return parts_->session.captureSession();
}
bool ZTCameraViewManager::showErrorsToUsers() const {
  return parts_->settings.get(&Values::showErrorsToUsers);
}
void ZTCameraViewManager::setShowErrorsToUsers(bool show) {
  parts_->settings.exchange(&Values::showErrorsToUsers, show);
}
bool ZTCameraViewManager::showAccessPermissionPopupAutomatically() const {
  return parts_->settings.get(&Values::showAccessPermissionPopupAutomatically);
}
void ZTCameraViewManager::setShowAccessPermissionPopupAutomatically(bool show) {
  parts_->settings.exchange(&Values::showAccessPermissionPopupAutomatically, show);
}
ZTCameraViewManager::ShowErrorBlock ZTCameraViewManager::showErrorBlock() const {
  return parts_->settings.get(&Values::showErrorBlock);
}
void ZTCameraViewManager::setShowErrorBlock(ShowErrorBlock block) {
  parts_->settings.exchange(&Values::showErrorBlock, std::move(block));
}
bool ZTCameraViewManager::writeFilesToPhoneLibrary() const {
  return parts_->settings.get(&Values::writeFilesToPhoneLibrary);
}
void ZTCameraViewManager::setWriteFilesToPhoneLibrary(bool write) {
  parts_->settings.exchange(&Values::writeFilesToPhoneLibrary, write);
}
bool ZTCameraViewManager::shouldFlipFrontCameraImage() const {
  return parts_->settings.get(&Values::shouldFlipFrontCameraImage);
}
void ZTCameraViewManager::setShouldFlipFrontCameraImage(bool flip) {
  parts_->settings.exchange(&Values::shouldFlipFrontCameraImage, flip);
}
bool ZTCameraViewManager::shouldKeepViewAtOrientationChanges() const {
  return parts_->settings.get(&Values::shouldKeepViewAtOrientationChanges);
}
void ZTCameraViewManager::setShouldKeepViewAtOrientationChanges(bool keep) {
  parts_->settings.exchange(&Values::shouldKeepViewAtOrientationChanges, keep);
}
bool ZTCameraViewManager::shouldEnableTapToFocus() const {
  return parts_->settings.get(&Values::shouldEnableTapToFocus);
}
void ZTCameraViewManager::setShouldEnableTapToFocus(bool enable) {
  parts_->settings.exchange(&Values::shouldEnableTapToFocus, enable);
  parts_->gestures.focusGesture()->setEnabled(enable);
}
bool ZTCameraViewManager::shouldEnablePinchToZoom() const {
  return parts_->settings.get(&Values::shouldEnablePinchToZoom);
}
void ZTCameraViewManager::setShouldEnablePinchToZoom(bool enable) {
  parts_->settings.exchange(&Values::shouldEnablePinchToZoom, enable);
  parts_->gestures.zoomGesture()->setEnabled(enable);
}
bool ZTCameraViewManager::shouldEnableExposure() const {
  return parts_->settings.get(&Values::shouldEnableExposure);
}
void ZTCameraViewManager::setShouldEnableExposure(bool enable) {
  parts_->settings.exchange(&Values::shouldEnableExposure, enable);
  parts_->gestures.exposureGesture()->setEnabled(enable);
}
bool ZTCameraViewManager::cameraIsReady() const {
  return parts_->session.isSetUp();
}
bool ZTCameraViewManager::hasFrontCamera() const {
  return parts_->settings.hasFrontCamera;
}
bool ZTCameraViewManager::hasFlash() const {
  return parts_->settings.hasFlash;
}
bool ZTCameraViewManager::animateCameraDeviceChange() const {
  return parts_->settings.get(&Values::animateCameraDeviceChange);
}
void ZTCameraViewManager::setAnimateCameraDeviceChange(bool animate) {
  parts_->settings.exchange(&Values::animateCameraDeviceChange, animate);
}
bool ZTCameraViewManager::animateShutter() const {
  return parts_->settings.get(&Values::animateShutter);
}
void ZTCameraViewManager::setAnimateShutter(bool animate) {
  parts_->settings.exchange(&Values::animateShutter, animate);
}

// The four settings with change hooks act on a set-up camera, and only on a change.
CameraDevice ZTCameraViewManager::cameraDevice() const {
  return parts_->settings.get(&Values::cameraDevice);
}
void ZTCameraViewManager::setCameraDevice(CameraDevice device) {
  const bool setUp = parts_->session.isSetUp();
  if (parts_->settings.exchange(&Values::cameraDevice, device) != device && setUp) {
    parts_->cameraDeviceChanged(device);
  }
}

CameraFlashMode ZTCameraViewManager::flashMode() const {
  return parts_->settings.get(&Values::flashMode);
}
void ZTCameraViewManager::setFlashMode(CameraFlashMode mode) {
  const bool setUp = parts_->session.isSetUp();
  if (parts_->settings.exchange(&Values::flashMode, mode) != mode && setUp) {
    parts_->flip._updateIlluminationMode(mode);
  }
}

CameraOutputQuality ZTCameraViewManager::cameraOutputQuality() const {
  return parts_->settings.get(&Values::cameraOutputQuality);
}
void ZTCameraViewManager::setCameraOutputQuality(CameraOutputQuality quality) {
  const bool setUp = parts_->session.isSetUp();
  if (parts_->settings.exchange(&Values::cameraOutputQuality, quality) != quality && setUp) {
    parts_->session._updateCameraQualityMode(quality);
  }
}

CameraOutputMode ZTCameraViewManager::cameraOutputMode() const {
  return parts_->settings.get(&Values::cameraOutputMode);
}
void ZTCameraViewManager::setCameraOutputMode(CameraOutputMode mode) {
  const bool setUp = parts_->session.isSetUp();
  const auto old = parts_->settings.exchange(&Values::cameraOutputMode, mode);
  if (setUp) parts_->cameraOutputModeChanged(mode, old);
}

CoreMedia::CMTime ZTCameraViewManager::recordedDuration() const {
  const auto movie = parts_->recording.output();
  return movie ? movie->recordedDuration() : CoreMedia::kCMTimeZero;
}
std::int64_t ZTCameraViewManager::recordedFileSize() const {
  const auto movie = parts_->recording.output();
  return movie ? movie->recordedFileSize() : 0;
}
AVCaptureDevice::FocusMode ZTCameraViewManager::focusMode() const {
  return parts_->settings.get(&Values::focusMode);
}
void ZTCameraViewManager::setFocusMode(AVCaptureDevice::FocusMode mode) {
  parts_->settings.exchange(&Values::focusMode, mode);
}
AVCaptureDevice::ExposureMode ZTCameraViewManager::exposureMode() const {
  return parts_->settings.get(&Values::exposureMode);
}
void ZTCameraViewManager::setExposureMode(AVCaptureDevice::ExposureMode mode) {
  parts_->settings.exchange(&Values::exposureMode, mode);
}
AVFoundation::AVCaptureVideoStabilizationMode ZTCameraViewManager::videoStabilisationMode() const {
  return parts_->settings.get(&Values::videoStabilisationMode);
}
void ZTCameraViewManager::setVideoStabilisationMode(
    AVFoundation::AVCaptureVideoStabilizationMode mode) {
  parts_->settings.exchange(&Values::videoStabilisationMode, mode);
}
float ZTCameraViewManager::exposureValue() const {
  return parts_->gestures.exposureValue();
}
void ZTCameraViewManager::setExposureValue(float value) {
  parts_->gestures.setExposureValue(value);
}
float ZTCameraViewManager::translationY() const {
  return parts_->gestures.translationY();
}
void ZTCameraViewManager::setTranslationY(float value) {
  parts_->gestures.setTranslationY(value);
}
std::optional<UIKit::CGPoint> ZTCameraViewManager::startPanPointInPreviewLayer() const {
  return parts_->gestures.startPanPointInPreviewLayer();
}
double ZTCameraViewManager::photoCaptureTimeout() const {
  return parts_->photo.timeout();
}
void ZTCameraViewManager::setPhotoCaptureTimeout(double seconds) {
  parts_->photo.setTimeout(seconds);
}

void ZTCameraViewManager::Parts::cameraDeviceChanged(CameraDevice device) {
  if (settings.get(&Values::animateCameraDeviceChange)) {
    // Views belong to the main thread; a write from elsewhere flips the preview a turn later.
    if (Foundation::Thread::isMainThread()) {
      flip._doFlipAnimation();
    } else {
      Dispatch::DispatchQueue::main().async([weak = weak()] {
        if (auto self = weak.lock()) of(*self).flip._doFlipAnimation();
      });
    }
  }
  flip._updateCameraDevice(device);
  flip._updateIlluminationMode(settings.get(&Values::flashMode));
  gestures._setupMaxZoomScale();
  gestures._zoom(0);
  session._orientationChanged();
}

void ZTCameraViewManager::Parts::cameraOutputModeChanged(CameraOutputMode newMode,
                                                         CameraOutputMode oldMode) {
  if (newMode != oldMode) session._setupOutputMode(newMode, oldMode);
  gestures._setupMaxZoomScale();
  gestures._zoom(0);
}

std::pair<std::shared_ptr<Photos::PHPhotoLibrary>, std::optional<std::string>>
ZTCameraViewManager::Parts::libraryAndAlbum(MediaType media) const {
  return {session.library(), settings.get(media == MediaType::photo ? &Values::imageAlbumName
                                                                    : &Values::videoAlbumName)};
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
