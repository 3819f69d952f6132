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
#include "ZTExtensions/ZTUIApplication.hpp"

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

using Values = CameraSettingValues;

std::shared_ptr<AVFoundation::AVCaptureSession> ZTCameraViewManager::Session::captureSession()
    const {
  std::lock_guard lock(mutex_);
  return captureSession_;
}
bool ZTCameraViewManager::Session::isSetUp() const {
  std::lock_guard lock(mutex_);
  return cameraIsSetup_;
}
std::shared_ptr<AVFoundation::AVCaptureVideoPreviewLayer>
ZTCameraViewManager::Session::previewLayer() const {
  std::lock_guard lock(mutex_);
  return previewLayer_;
}
std::shared_ptr<UIKit::UIView> ZTCameraViewManager::Session::embeddingView() const {
  std::lock_guard lock(mutex_);
  return embeddingView_.lock();
}
UIDeviceOrientation ZTCameraViewManager::Session::deviceOrientation() const {
  std::lock_guard lock(mutex_);
  return deviceOrientation_;
}
std::shared_ptr<Photos::PHPhotoLibrary> ZTCameraViewManager::Session::library() const {
  std::lock_guard lock(mutex_);
  return library_;
}

// Devices: a lookup is kept, found or missing, until the session is removed.
std::shared_ptr<AVCaptureDevice> ZTCameraViewManager::Session::lookUp(
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

std::shared_ptr<AVCaptureDevice> ZTCameraViewManager::Session::frontCameraDevice() {
  return lookUp(frontCameraDevice_, [] {
    return AVCaptureDevice::defaultDevice(AVCaptureDevice::DeviceType::builtInWideAngleCamera,
                                          AVMediaType::video, AVCaptureDevice::Position::front);
  });
}

std::shared_ptr<AVCaptureDevice> ZTCameraViewManager::Session::backCameraDevice() {
  return lookUp(backCameraDevice_, [] {
    return AVCaptureDevice::defaultDevice(AVCaptureDevice::DeviceType::builtInWideAngleCamera,
                                          AVMediaType::video, AVCaptureDevice::Position::back);
  });
}

std::shared_ptr<AVCaptureDevice> ZTCameraViewManager::Session::mic() {
  return lookUp(mic_, [] { return AVCaptureDevice::defaultDevice(AVMediaType::audio); });
}

std::shared_ptr<AVCaptureDevice> ZTCameraViewManager::Session::currentDevice() {
  return parts_.settings.get(&Values::cameraDevice) == CameraDevice::back ? backCameraDevice()
                                                                          : frontCameraDevice();
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
  return parts_->session.attach(view, newCameraOutputMode, std::move(completion));
}

CameraState ZTCameraViewManager::Session::attach(const std::shared_ptr<UIKit::UIView>& view,
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
    parts_.manager.setCameraOutputMode(newCameraOutputMode);
    if (completion) completion();
  } else {
    PendingAttach attach{view, newCameraOutputMode, {}};
    if (completion) attach.completions.push_back(std::move(completion));
    _setupCamera(std::move(attach));
  }
  return state;
}

void ZTCameraViewManager::Session::_setupCamera(std::optional<PendingAttach> attach) {
  auto session = AVFoundation::AVCaptureSession::make();
  {
    std::lock_guard lock(mutex_);
    captureSession_ = session;
    queuedSetup_ = session;
    pendingAttach_ = std::move(attach);
  }
  // The queued work holds the manager until it has run.
  parts_.sessionQueue.async([self = parts_.manager.shared_from_this(), session] {
    Parts::of(*self).session.runSetup(session);
  });
}

void ZTCameraViewManager::Session::runSetup(
    const std::shared_ptr<AVFoundation::AVCaptureSession>& session) {
  {
    std::lock_guard lock(mutex_);
    // A removal or a newer set-up took the session away: this one configures nothing.
    if (captureSession_ != session || queuedSetup_ != session) return;
  }
  const auto& settings = parts_.settings;
  session->beginConfiguration();
  session->setSessionPreset(AVFoundation::AVCaptureSessionPresetHigh);
  parts_.flip._updateCameraDevice(settings.get(&Values::cameraDevice));
  _setupOutputs();
  _setupOutputMode(settings.get(&Values::cameraOutputMode), std::nullopt);
  _setupPreviewLayer();
  session->commitConfiguration();
  parts_.flip._updateIlluminationMode(settings.get(&Values::flashMode));
  _updateCameraQualityMode(settings.get(&Values::cameraOutputQuality));
  session->startRunning();
  std::optional<PendingAttach> attach;
  bool removed = false;
  {
    std::lock_guard lock(mutex_);
    // A newer set-up queued after a removal keeps its marker.
    if (queuedSetup_ == session) queuedSetup_.reset();
    removed = captureSession_ != session;
    if (!removed) {
      cameraIsSetup_ = true;
      attach = std::move(pendingAttach_);
      pendingAttach_.reset();
    }
  }
  if (removed) {
    // Removed while it was being configured.
    session->stopRunning();
    return;
  }
  _orientationChanged();
  if (attach) {
    if (auto view = attach->view.lock()) _addPreviewLayerToView(view);
    parts_.manager.setCameraOutputMode(attach->mode);
    for (auto& completion : attach->completions) completion();
  } else if (auto view = embeddingView()) {
    _addPreviewLayerToView(view);
  }
}

void ZTCameraViewManager::Session::_addPreviewLayerToView(
    const std::shared_ptr<UIKit::UIView>& view) {
  {
    std::lock_guard lock(mutex_);
    embeddingView_ = view;
  }
  parts_.gestures.attach(view);
  DispatchQueue::main().async([self = parts_.manager.shared_from_this(), view] {
    auto& session = Parts::of(*self).session;
    auto layer = session.previewLayer();
    if (!layer) return;
    layer->setFrame(view->layer()->bounds());
    view->setClipsToBounds(true);
    view->layer()->addSublayer(layer);
    // The preview's connection is made on the main thread, where the layer lives.
    session._orientationChanged();
  });
}

bool ZTCameraViewManager::Session::_canLoadCamera(CameraState state) const {
  switch (state) {
    case CameraState::ready:
      return true;
    case CameraState::notDetermined:
      return parts_.settings.get(&Values::showAccessPermissionPopupAutomatically);
    case CameraState::accessDenied:
    case CameraState::noDeviceFound:
      return false;
  }
  return false;
}

CameraState ZTCameraViewManager::Session::_checkIfCameraIsAvailable() {
  using Picker = UIKit::UIImagePickerController;
  const bool hasCamera = Picker::isCameraDeviceAvailable(Picker::CameraDevice::rear) ||
                         Picker::isCameraDeviceAvailable(Picker::CameraDevice::front);
  if (!hasCamera) {
    parts_.show(localized("Camera unavailable"), localized("The device does not have a camera."));
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
  parts_.show(
      localized("Camera access denied"),
      localized("You need to go to settings app and grant acces to the camera device to use it."));
  return CameraState::accessDenied;
}

CameraState ZTCameraViewManager::currentCameraStatus() {
  return parts_->session._checkIfCameraIsAvailable();
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
  parts_->gestures._zoom(scale);
}

void ZTCameraViewManager::stopCaptureSession() {
  if (auto session = captureSession()) session->stopRunning();
}

void ZTCameraViewManager::resumeCaptureSession() {
  parts_->session.resume();
}

void ZTCameraViewManager::Session::resume() {
  std::shared_ptr<AVFoundation::AVCaptureSession> session;
  bool setUp = false;
  {
    std::lock_guard lock(mutex_);
    session = captureSession_;
    setUp = cameraIsSetup_;
  }
  if (session) {
    if (!session->isRunning() && setUp) {
      parts_.sessionQueue.async([self = parts_.manager.shared_from_this(), session] {
        // Only the session this resume was for, if it is still the manager's.
        if (self->captureSession() == session) session->startRunning();
      });
    }
    return;
  }
  if (!_canLoadCamera(_checkIfCameraIsAvailable())) return;
  if (setUp) remove();
  _setupCamera(std::nullopt);
}

void ZTCameraViewManager::stopAndRemoveCaptureSession() {
  parts_->session.remove();
}

void ZTCameraViewManager::Session::remove() {
  parts_.manager.stopCaptureSession();
  // Back to the back camera, without the flip.
  const bool animate = parts_.settings.exchange(&Values::animateCameraDeviceChange, false);
  parts_.manager.setCameraDevice(CameraDevice::back);
  {
    std::lock_guard lock(mutex_);
    cameraIsSetup_ = false;
    previewLayer_.reset();
    captureSession_.reset();
    queuedSetup_.reset();
    pendingAttach_.reset();
    frontCameraDevice_.reset();
    backCameraDevice_.reset();
    mic_.reset();
  }
  parts_.recording.remove();
  parts_.settings.exchange(&Values::animateCameraDeviceChange, animate);
  // A capture waiting on the removed session fails now instead of waiting for its time-out.
  parts_.photo.remove();
}

void ZTCameraViewManager::Session::_orientationChanged() {
  std::shared_ptr<AVFoundation::AVCaptureConnection> output;
  if (parts_.settings.get(&Values::cameraOutputMode) == CameraOutputMode::stillImage) {
    if (auto photo = parts_.photo.output()) output = photo->connection(AVMediaType::video);
  } else {
    output = parts_.recording._getMovieOutput()->connection(AVMediaType::video);
  }
  auto layer = previewLayer();
  if (!layer) return;
  const bool keep = parts_.settings.get(&Values::shouldKeepViewAtOrientationChanges);
  if (output && output->isVideoOrientationSupported()) {
    output->setVideoOrientation(_currentCaptureVideoOrientation());
  }
  if (keep) return;
  // The preview layer and the view are the main thread's.
  auto apply = [weak = parts_.weak(), layer] {
    auto self = weak.lock();
    if (!self) return;
    auto& session = Parts::of(*self).session;
    if (auto connection = layer->connection();
        connection && connection->isVideoOrientationSupported()) {
      connection->setVideoOrientation(session._currentPreviewVideoOrientation());
    }
    if (auto view = session.embeddingView()) layer->setFrame(view->bounds());
  };
  DispatchQueue::main().async(std::move(apply));
}

AVCaptureVideoOrientation ZTCameraViewManager::Session::_currentCaptureVideoOrientation() {
  const auto orientation = deviceOrientation();
  switch (orientation) {
    case UIDeviceOrientation::faceUp:
    case UIDeviceOrientation::faceDown:
    case UIDeviceOrientation::unknown:
      return _currentPreviewVideoOrientation();
    default:
      return _videoOrientation(orientation);
  }
}

UIDeviceOrientation ZTCameraViewManager::Session::_currentPreviewDeviceOrientation() const {
  if (parts_.settings.get(&Values::shouldKeepViewAtOrientationChanges)) {
    return UIDeviceOrientation::portrait;
  }
  return UIKit::UIDevice::current().orientation();
}

AVCaptureVideoOrientation ZTCameraViewManager::Session::_currentPreviewVideoOrientation() {
  return _videoOrientation(_currentPreviewDeviceOrientation());
}

AVCaptureVideoOrientation ZTCameraViewManager::Session::_videoOrientation(
    UIDeviceOrientation orientation) {
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

AVCaptureVideoOrientation
ZTCameraViewManager::Session::_videoOrientationFromStatusBarOrientation() {
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
  return parts_->session.deviceOrientation() == UIKit::UIDevice::current().orientation();
}

void ZTCameraViewManager::resetOrientation() {
  parts_->session._orientationChanged();
}

void ZTCameraViewManager::Parts::show(const std::string& title, const std::string& message) {
  if (!settings.get(&Values::showErrorsToUsers)) return;
  DispatchQueue::main().async([weak = weak(), title, message] {
    auto self = weak.lock();
    if (!self) return;
    if (auto block = self->showErrorBlock()) block(title, message);
  });
}

void showDefaultAlert(const std::string& title, const std::string& message) {
  auto window = UIKit::UIApplication::shared().keyWindow();
  auto root = window ? window->rootViewController() : nullptr;
  if (!root) return;
  auto alert = std::make_shared<UIKit::UIAlertController>(title, message,
                                                          UIKit::UIAlertController::Style::alert);
  alert->addAction(std::make_shared<UIKit::UIAlertAction>(
      "OK", UIKit::UIAlertAction::Style::defaultStyle, [](UIKit::UIAlertAction&) {}));
  ZTUIApplication::present(*root, alert, true);
}

}  // namespace ZentrelSDK
