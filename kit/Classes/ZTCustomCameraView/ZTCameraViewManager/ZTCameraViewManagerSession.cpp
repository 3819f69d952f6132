#include <AVFoundation/AVTypes.hpp>
#include <Foundation/NSLocalizedString.hpp>
#include <Foundation/Thread.hpp>
#include <UIKit/UIAlertAction.hpp>
#include <UIKit/UIAlertController.hpp>
#include <UIKit/UIApplication.hpp>
#include <UIKit/UIImagePickerController.hpp>
#include <UIKit/UIWindow.hpp>

#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManager.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManagerInternal.hpp"

// The session's life: devices, attaching the preview, the set-up on "CameraSessionQueue",
// permissions, stop, resume and removal, orientation, and the user messages.

namespace ZentrelSDK {

using AVFoundation::AVAuthorizationStatus;
using AVFoundation::AVCaptureDevice;
using AVFoundation::AVCaptureVideoOrientation;
using AVFoundation::AVMediaType;
using Dispatch::DispatchQueue;
using UIKit::UIDeviceOrientation;

std::string localized(const char* text) {
  return Foundation::NSLocalizedString(text, "");
}

namespace {
template <class T>
T locked(std::mutex& mutex, const T& field) {
  std::lock_guard lock(mutex);
  return field;
}
}  // namespace

// Devices: a lookup is kept, found or missing, until the session is removed.
std::shared_ptr<AVCaptureDevice> ZTCameraViewManager::lookUp(
    LazyDevice& slot, const std::function<std::shared_ptr<AVCaptureDevice>()>& find) {
  {
    std::lock_guard lock(mutex_);
    if (slot) return *slot;
  }
  auto found = find();  // outside the lock: the platform is called
  std::lock_guard lock(mutex_);
  if (!slot) slot = found;
  return *slot;
}

std::shared_ptr<AVCaptureDevice> ZTCameraViewManager::frontCameraDevice() {
  return lookUp(frontCameraDevice_, [] {
    return AVCaptureDevice::defaultDevice(AVCaptureDevice::DeviceType::builtInWideAngleCamera,
                                          AVMediaType::video, AVCaptureDevice::Position::front);
  });
}

std::shared_ptr<AVCaptureDevice> ZTCameraViewManager::backCameraDevice() {
  return lookUp(backCameraDevice_, [] {
    return AVCaptureDevice::defaultDevice(AVCaptureDevice::DeviceType::builtInWideAngleCamera,
                                          AVMediaType::video, AVCaptureDevice::Position::back);
  });
}

std::shared_ptr<AVCaptureDevice> ZTCameraViewManager::mic() {
  return lookUp(mic_, [] { return AVCaptureDevice::defaultDevice(AVMediaType::audio); });
}

std::shared_ptr<AVCaptureDevice> ZTCameraViewManager::currentDevice() {
  return cameraDevice() == CameraDevice::back ? backCameraDevice() : frontCameraDevice();
}

CameraState ZTCameraViewManager::addPreviewLayerToView(const std::shared_ptr<UIKit::UIView>& view) {
  return addPreviewLayerToView(view, cameraOutputMode());
}

CameraState ZTCameraViewManager::addPreviewLayerToView(const std::shared_ptr<UIKit::UIView>& view,
                                                       CameraOutputMode newCameraOutputMode) {
  return addLayerPreviewToView(view, newCameraOutputMode, nullptr);
}

CameraState ZTCameraViewManager::addLayerPreviewToView(const std::shared_ptr<UIKit::UIView>& view,
                                                       CameraOutputMode newCameraOutputMode,
                                                       std::function<void()> completion) {
  // Checked once, so a refusal shows one message.
  const auto state = _checkIfCameraIsAvailable();
  if (!view || !_canLoadCamera(state)) return state;
  std::shared_ptr<AVFoundation::AVCaptureVideoPreviewLayer> layer;
  bool setUp = false;
  {
    std::lock_guard lock(mutex_);
    if (!embeddingView_.expired()) layer = previewLayer_;
    setUp = cameraIsSetup_;
    if (queuedSetup_) {
      if (!pendingAttach_) pendingAttach_ = PendingAttach{};
      // The queued set-up attaches to the latest view with the latest mode.
      pendingAttach_->view = view;
      pendingAttach_->mode = newCameraOutputMode;
      if (completion) pendingAttach_->completions.push_back(std::move(completion));
      return state;
    }
  }
  if (layer) {
    DispatchQueue::main().async([layer] { layer->removeFromSuperlayer(); });
  }
  if (setUp) {
    _addPreviewLayerToView(view);
    setCameraOutputMode(newCameraOutputMode);
    if (completion) completion();
  } else {
    PendingAttach attach{view, newCameraOutputMode, {}};
    if (completion) attach.completions.push_back(std::move(completion));
    _setupCamera(std::move(attach));
  }
  return state;
}

void ZTCameraViewManager::_setupCamera(std::optional<PendingAttach> attach) {
  auto session = AVFoundation::AVCaptureSession::make();
  {
    std::lock_guard lock(mutex_);
    captureSession_ = session;
    queuedSetup_ = session;
    pendingAttach_ = std::move(attach);
  }
  // The queued work holds the manager until it has run.
  sessionQueue_.async([self = shared_from_this(), session] { self->runSetup(session); });
}

void ZTCameraViewManager::runSetup(const std::shared_ptr<AVFoundation::AVCaptureSession>& session) {
  {
    std::lock_guard lock(mutex_);
    // A removal or a newer set-up took the session away: this one configures nothing.
    if (captureSession_ != session || queuedSetup_ != session) return;
  }
  session->beginConfiguration();
  session->setSessionPreset(AVFoundation::AVCaptureSessionPresetHigh);
  _updateCameraDevice(cameraDevice());
  _setupOutputs();
  _setupOutputMode(cameraOutputMode(), std::nullopt);
  _setupPreviewLayer();
  session->commitConfiguration();
  _updateIlluminationMode(flashMode());
  _updateCameraQualityMode(cameraOutputQuality());
  session->startRunning();
  std::optional<PendingAttach> attach;
  {
    std::lock_guard lock(mutex_);
    if (captureSession_ != session) {
      // Removed while it was being configured.
      queuedSetup_.reset();
      session->stopRunning();
      return;
    }
    cameraIsSetup_ = true;
    queuedSetup_.reset();
    attach = std::move(pendingAttach_);
    pendingAttach_.reset();
  }
  _orientationChanged();
  if (attach) {
    if (auto view = attach->view.lock()) _addPreviewLayerToView(view);
    setCameraOutputMode(attach->mode);
    for (auto& completion : attach->completions) completion();
  } else if (auto view = locked(mutex_, embeddingView_).lock()) {
    _addPreviewLayerToView(view);
  }
}

void ZTCameraViewManager::_addPreviewLayerToView(const std::shared_ptr<UIKit::UIView>& view) {
  {
    std::lock_guard lock(mutex_);
    embeddingView_ = view;
  }
  attachZoom(view);
  attachFocus(view);
  attachExposure(view);
  DispatchQueue::main().async([self = shared_from_this(), view] {
    auto layer = self->previewLayer();
    if (!layer) return;
    layer->setFrame(view->layer()->bounds());
    view->setClipsToBounds(true);
    view->layer()->addSublayer(layer);
    // The preview's connection is made on the main thread, where the layer lives.
    self->_orientationChanged();
  });
}

bool ZTCameraViewManager::_canLoadCamera(CameraState state) const {
  switch (state) {
    case CameraState::ready:
      return true;
    case CameraState::notDetermined:
      return showAccessPermissionPopupAutomatically();
    case CameraState::accessDenied:
    case CameraState::noDeviceFound:
      return false;
  }
  return false;
}

CameraState ZTCameraViewManager::_checkIfCameraIsAvailable() {
  using Picker = UIKit::UIImagePickerController;
  const bool hasCamera = Picker::isCameraDeviceAvailable(Picker::CameraDevice::rear) ||
                         Picker::isCameraDeviceAvailable(Picker::CameraDevice::front);
  if (!hasCamera) {
    _show(localized("Camera unavailable"), localized("The device does not have a camera."));
    return CameraState::noDeviceFound;
  }
  switch (AVCaptureDevice::authorizationStatus(AVMediaType::video)) {
    case AVAuthorizationStatus::authorized:
      return CameraState::ready;
    case AVAuthorizationStatus::notDetermined:
      return CameraState::notDetermined;
    case AVAuthorizationStatus::denied:
    case AVAuthorizationStatus::restricted:
      break;
  }
  _show(
      localized("Camera access denied"),
      localized("You need to go to settings app and grant acces to the camera device to use it."));
  return CameraState::accessDenied;
}

CameraState ZTCameraViewManager::currentCameraStatus() {
  return _checkIfCameraIsAvailable();
}

void ZTCameraViewManager::askUserForCameraPermission(std::function<void(bool granted)> completion) {
  auto reply = [completion](bool granted) {
    DispatchQueue::main().async([completion, granted] {
      if (completion) completion(granted);
    });
  };
  auto weak = weak_from_this();
  AVCaptureDevice::requestAccess(AVMediaType::video, [weak, reply](bool camera) {
    auto self = weak.lock();
    if (self && self->cameraOutputMode() == CameraOutputMode::videoWithMic) {
      // Recording with sound needs both.
      AVCaptureDevice::requestAccess(
          AVMediaType::audio, [reply, camera](bool microphone) { reply(camera && microphone); });
      return;
    }
    reply(camera);
  });
}

void ZTCameraViewManager::zoom(UIKit::CGFloat scale) {
  _zoom(scale);
}

void ZTCameraViewManager::stopCaptureSession() {
  if (auto session = captureSession()) session->stopRunning();
}

void ZTCameraViewManager::resumeCaptureSession() {
  std::shared_ptr<AVFoundation::AVCaptureSession> session;
  bool setUp = false;
  {
    std::lock_guard lock(mutex_);
    session = captureSession_;
    setUp = cameraIsSetup_;
  }
  if (session) {
    if (!session->isRunning() && setUp) {
      sessionQueue_.async([self = shared_from_this(), session] {
        // Only the session this resume was for, if it is still the manager's.
        if (self->captureSession() == session) session->startRunning();
      });
    }
    return;
  }
  if (!_canLoadCamera(_checkIfCameraIsAvailable())) return;
  if (setUp) stopAndRemoveCaptureSession();
  _setupCamera(std::nullopt);
}

void ZTCameraViewManager::stopAndRemoveCaptureSession() {
  removeSession();
}

void ZTCameraViewManager::removeSession() {
  stopCaptureSession();
  bool animate = false;
  {
    std::lock_guard lock(mutex_);
    animate = animateCameraDeviceChange_;
    animateCameraDeviceChange_ = false;
  }
  setCameraDevice(CameraDevice::back);
  std::shared_ptr<PhotoRequest> pending;
  {
    std::lock_guard lock(mutex_);
    cameraIsSetup_ = false;
    previewLayer_.reset();
    captureSession_.reset();
    queuedSetup_.reset();
    pendingAttach_.reset();
    frontCameraDevice_.reset();
    backCameraDevice_.reset();
    pending = std::move(pendingCapture_);
    capturePhotoOutput_.reset();
    mic_.reset();
    movieOutput_.reset();
    metadataInput_.reset();
    animateCameraDeviceChange_ = animate;
  }
  // A capture waiting on the removed session fails now instead of waiting for its time-out.
  if (pending) pending->finish(CaptureResult::failure(CaptureError::noImageData));
}

void ZTCameraViewManager::_setupMaxZoomScale() {
  UIKit::CGFloat limit = 1;
  if (auto device = currentDevice()) limit = device->activeFormat().videoMaxZoomFactor;
  std::lock_guard lock(mutex_);
  beginZoomScale_ = 1;
  maxZoomScale_ = limit;
}

std::shared_ptr<AVFoundation::AVCaptureMovieFileOutput> ZTCameraViewManager::_getMovieOutput() {
  std::shared_ptr<AVFoundation::AVCaptureMovieFileOutput> created;
  std::shared_ptr<AVFoundation::AVCaptureSession> session;
  {
    std::lock_guard lock(mutex_);
    if (movieOutput_) return movieOutput_;
    created = AVFoundation::AVCaptureMovieFileOutput::make();
    created->setMovieFragmentInterval(CoreMedia::kCMTimeInvalid);
    movieOutput_ = created;
    session = captureSession_;
  }
  if (session && session->canAddOutput(created)) {
    session->beginConfiguration();
    session->addOutput(created);
    session->commitConfiguration();
  }
  return created;
}

void ZTCameraViewManager::_orientationChanged() {
  std::shared_ptr<AVFoundation::AVCaptureConnection> output;
  if (cameraOutputMode() == CameraOutputMode::stillImage) {
    if (auto photo = locked(mutex_, capturePhotoOutput_)) {
      output = photo->connection(AVMediaType::video);
    }
  } else {
    output = _getMovieOutput()->connection(AVMediaType::video);
  }
  auto layer = previewLayer();
  if (!layer) return;
  const bool keep = shouldKeepViewAtOrientationChanges();
  if (output && output->isVideoOrientationSupported()) {
    output->setVideoOrientation(_currentCaptureVideoOrientation());
  }
  if (keep) return;
  // The preview layer and the view are the main thread's.
  auto apply = [weak = weak_from_this(), layer] {
    auto self = weak.lock();
    if (!self) return;
    if (auto connection = layer->connection();
        connection && connection->isVideoOrientationSupported()) {
      connection->setVideoOrientation(self->_currentPreviewVideoOrientation());
    }
    if (auto view = locked(self->mutex_, self->embeddingView_).lock()) {
      layer->setFrame(view->bounds());
    }
  };
  DispatchQueue::main().async(std::move(apply));
}

AVCaptureVideoOrientation ZTCameraViewManager::_currentCaptureVideoOrientation() {
  const auto orientation = locked(mutex_, deviceOrientation_);
  switch (orientation) {
    case UIDeviceOrientation::faceUp:
    case UIDeviceOrientation::faceDown:
    case UIDeviceOrientation::unknown:
      return _currentPreviewVideoOrientation();
    default:
      return _videoOrientation(orientation);
  }
}

UIDeviceOrientation ZTCameraViewManager::_currentPreviewDeviceOrientation() const {
  if (shouldKeepViewAtOrientationChanges()) return UIDeviceOrientation::portrait;
  return UIKit::UIDevice::current().orientation();
}

AVCaptureVideoOrientation ZTCameraViewManager::_currentPreviewVideoOrientation() {
  return _videoOrientation(_currentPreviewDeviceOrientation());
}

AVCaptureVideoOrientation ZTCameraViewManager::_videoOrientation(UIDeviceOrientation orientation) {
  switch (orientation) {
    case UIDeviceOrientation::portraitUpsideDown:
      return AVCaptureVideoOrientation::portraitUpsideDown;
    case UIDeviceOrientation::landscapeLeft:
      return AVCaptureVideoOrientation::landscapeRight;
    case UIDeviceOrientation::landscapeRight:
      return AVCaptureVideoOrientation::landscapeLeft;
    case UIDeviceOrientation::faceUp:
    case UIDeviceOrientation::faceDown:
      // The preview's connection lives on the main thread; elsewhere the status bar tells.
      if (Foundation::Thread::isMainThread()) {
        if (auto layer = previewLayer()) {
          if (auto connection = layer->connection()) return connection->videoOrientation();
        }
      }
      return _videoOrientationFromStatusBarOrientation();
    case UIDeviceOrientation::portrait:
    case UIDeviceOrientation::unknown:
      break;
  }
  return AVCaptureVideoOrientation::portrait;
}

AVCaptureVideoOrientation ZTCameraViewManager::_videoOrientationFromStatusBarOrientation() {
  using UIKit::UIInterfaceOrientation;
  switch (UIKit::UIApplication::shared().statusBarOrientation()) {
    case UIInterfaceOrientation::portraitUpsideDown:
      return AVCaptureVideoOrientation::portraitUpsideDown;
    case UIInterfaceOrientation::landscapeRight:
      return AVCaptureVideoOrientation::landscapeRight;
    case UIInterfaceOrientation::landscapeLeft:
      return AVCaptureVideoOrientation::landscapeLeft;
    case UIInterfaceOrientation::portrait:
    case UIInterfaceOrientation::unknown:
      break;
  }
  return AVCaptureVideoOrientation::portrait;
}

bool ZTCameraViewManager::deviceOrientationMatchesInterfaceOrientation() const {
  return locked(mutex_, deviceOrientation_) == UIKit::UIDevice::current().orientation();
}

void ZTCameraViewManager::resetOrientation() {
  _orientationChanged();
}

void ZTCameraViewManager::_show(const std::string& title, const std::string& message) {
  if (!showErrorsToUsers()) return;
  DispatchQueue::main().async([weak = weak_from_this(), title, message] {
    auto self = weak.lock();
    if (!self) return;
    if (auto block = self->showErrorBlock()) block(title, message);
  });
}

void ZTCameraViewManager::showDefaultAlert(const std::string& title, const std::string& message) {
  auto window = UIKit::UIApplication::shared().keyWindow();
  auto root = window ? window->rootViewController() : nullptr;
  if (!root) return;
  auto alert = std::make_shared<UIKit::UIAlertController>(title, message,
                                                          UIKit::UIAlertController::Style::alert);
  alert->addAction(std::make_shared<UIKit::UIAlertAction>(
      "OK", UIKit::UIAlertAction::Style::defaultStyle, [](UIKit::UIAlertAction&) {}));
  root->present(alert, true);
}

}  // namespace ZentrelSDK
