#include <set>
#include <string>

#include <Foundation/SystemInfo.hpp>
#include <UIKit/UIBlurEffect.hpp>
#include <UIKit/UIColor.hpp>
#include <UIKit/UIVisualEffectView.hpp>

#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManager.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManagerInternal.hpp"

// Outputs and presets; the camera input, flip, flash and torch.

namespace ZentrelSDK {

using AVFoundation::AVCaptureDevice;
using AVFoundation::AVCaptureSession;
using Dispatch::DispatchQueue;

namespace {
std::shared_ptr<AVCaptureDevice> camera(AVCaptureDevice::Position position) {
  return AVCaptureDevice::defaultDevice(AVCaptureDevice::DeviceType::builtInWideAngleCamera,
                                        AVFoundation::AVMediaType::video, position);
}
}  // namespace

using Values = CameraSettingValues;

void ZTCameraViewManager::Session::_setupOutputMode(CameraOutputMode newMode,
                                                    std::optional<CameraOutputMode> oldMode) {
  auto session = captureSession();
  if (session) session->beginConfiguration();
  removeOldOutputMode(oldMode);
  setNewOutputMode(newMode);
  if (session) session->commitConfiguration();
  _updateCameraQualityMode(parts_.settings.get(&Values::cameraOutputQuality));
  _orientationChanged();
}

void ZTCameraViewManager::Session::_setupOutputs() {
  parts_.photo.makeOutput();
  parts_.recording.makeOutput();
  std::lock_guard lock(mutex_);
  if (!library_) library_ = Photos::PHPhotoLibrary::shared();
}

void ZTCameraViewManager::Session::removeOldOutputMode(std::optional<CameraOutputMode> oldMode) {
  if (!oldMode) return;
  auto session = captureSession();
  std::shared_ptr<AVFoundation::AVCaptureOutput> output;
  if (*oldMode == CameraOutputMode::stillImage) {
    output = parts_.photo.output();
  } else {
    output = parts_.recording.output();
  }
  if (session && output) session->removeOutput(output);
  if (*oldMode == CameraOutputMode::videoWithMic) _removeMicInput();
}

void ZTCameraViewManager::Session::setNewOutputMode(CameraOutputMode newMode) {
  auto session = captureSession();
  if (newMode == CameraOutputMode::stillImage) {
    if (!parts_.photo.output()) _setupOutputs();
    auto output = parts_.photo.output();
    if (output && session && session->canAddOutput(output)) session->addOutput(output);
    return;
  }
  auto movie = parts_.recording._getMovieOutput();
  if (session && session->canAddOutput(movie)) session->addOutput(movie);
  if (newMode == CameraOutputMode::videoWithMic) {
    auto input = _deviceInputFromDevice(mic());
    // Only what the session can take.
    if (input && session && session->canAddInput(input)) session->addInput(input);
  }
}

void ZTCameraViewManager::Session::_setupPreviewLayer() {
  auto session = captureSession();
  if (!session) return;
  auto layer = AVFoundation::AVCaptureVideoPreviewLayer::make(session);
  layer->videoGravity = AVFoundation::AVLayerVideoGravityResizeAspectFill;
  std::lock_guard lock(mutex_);
  previewLayer_ = layer;
}

void ZTCameraViewManager::Session::_updateCameraQualityMode(CameraOutputQuality quality) {
  auto session = captureSession();
  if (!session) {
    parts_.show(localized("Camera error"),
                localized("No valid capture session found, I can't take any pictures or videos."));
    return;
  }
  AVCaptureSession::Preset preset = AVFoundation::AVCaptureSessionPresetHigh;
  switch (quality) {
    case CameraOutputQuality::low:
      preset = AVFoundation::AVCaptureSessionPresetLow;
      break;
    case CameraOutputQuality::medium:
      preset = AVFoundation::AVCaptureSessionPresetMedium;
      break;
    case CameraOutputQuality::high:
      preset = parts_.settings.get(&Values::cameraOutputMode) == CameraOutputMode::stillImage
                   ? AVFoundation::AVCaptureSessionPresetPhoto
                   : AVFoundation::AVCaptureSessionPresetHigh;
      break;
  }
  if (!session->canSetSessionPreset(preset)) {
    parts_.show(localized("Preset not supported"),
                localized("Camera preset not supported. Please try another one."));
    return;
  }
  session->beginConfiguration();
  session->setSessionPreset(preset);
  session->commitConfiguration();
}

void ZTCameraViewManager::Session::_removeMicInput() {
  auto session = captureSession();
  if (!session) return;
  auto microphone = mic();
  for (const auto& input : session->inputs()) {
    auto device = std::dynamic_pointer_cast<AVFoundation::AVCaptureDeviceInput>(input);
    if (device && device->device() == microphone) {
      session->removeInput(input);
      return;
    }
  }
}

std::shared_ptr<AVFoundation::AVCaptureDeviceInput>
ZTCameraViewManager::Session::_deviceInputFromDevice(
    const std::shared_ptr<AVCaptureDevice>& device) {
  if (!device) return nullptr;
  auto input = AVFoundation::AVCaptureDeviceInput::make(device);
  if (input) return input.value();
  parts_.show(localized("Device setup error occured"), input.error().localizedDescription());
  return nullptr;
}

void ZTCameraViewManager::Flip::_doFlipAnimation() {
  if (transitionAnimating_) return;
  auto view = parts_.session.embeddingView();
  auto layer = parts_.session.previewLayer();
  if (!view || !layer) return;
  std::shared_ptr<UIKit::UIView> overlay;
  if (_blurSupported()) {
    overlay = std::make_shared<UIKit::UIVisualEffectView>(
        UIKit::UIBlurEffect(UIKit::UIBlurEffect::Style::light));
    overlay->setFrame(view->bounds());
  } else {
    overlay = std::make_shared<UIKit::UIView>(view->bounds());
    overlay->setBackgroundColor(UIKit::UIColor(0, 0.5));
  }
  view->insertSubview(overlay, static_cast<std::size_t>(layer->zPosition + 1));
  cameraTransitionView_ = view->snapshotView(true);
  if (cameraTransitionView_) {
    view->insertSubview(cameraTransitionView_,
                        static_cast<std::size_t>(view->layer()->zPosition + 1));
  }
  overlay->removeFromSuperview();
  if (!cameraTransitionView_) {
    // Without a snapshot there is nothing to turn over: the live preview stays as it was.
    return;
  }
  transitionAnimating_ = true;
  layer->opacity = 0;
  DispatchQueue::main().async([weak = parts_.weak()] {
    if (auto self = weak.lock()) Parts::of(*self).flip._flipCameraTransitionView();
  });
}

bool ZTCameraViewManager::Flip::_blurSupported() {
  static const std::set<std::string> noBlur{
      "iPad",      "iPad1,1", "iPhone1,1", "iPhone1,2", "iPhone2,1", "iPhone3,1", "iPhone3,2",
      "iPhone3,3", "iPod1,1", "iPod2,1",   "iPod2,2",   "iPod3,1",   "iPod4,1",   "iPad2,1",
      "iPad2,2",   "iPad2,3", "iPad2,4",   "iPad3,1",   "iPad3,2",   "iPad3,3"};
  return noBlur.count(_hardwareString()) == 0;
}

std::string ZTCameraViewManager::Flip::_hardwareString() {
  Foundation::utsname record{};
  if (Foundation::uname(&record) != 0) return "";
  const std::string text(record.machine, Foundation::utsname::fieldSize);
  for (unsigned char c : text) {
    if (c > 0x7F) return "";  // not ASCII
  }
  // Control characters at both ends go, the zero bytes after the name among them.
  auto control = [](unsigned char c) { return c < 0x20 || c == 0x7F; };
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && control(static_cast<unsigned char>(text[first]))) ++first;
  while (last > first && control(static_cast<unsigned char>(text[last - 1]))) --last;
  return text.substr(first, last - first);
}

void ZTCameraViewManager::Flip::_flipCameraTransitionView() {
  if (!cameraTransitionView_) return;
  UIKit::UIView::transition(cameraTransitionView_, 0.5,
                            UIKit::UIView::AnimationOptions::transitionFlipFromLeft, nullptr,
                            [weak = parts_.weak()](bool) {
                              if (auto self = weak.lock()) {
                                Parts::of(*self).flip._removeCameraTransistionView();
                              }
                            });
}

void ZTCameraViewManager::Flip::_removeCameraTransistionView() {
  if (!cameraTransitionView_) return;
  if (auto layer = parts_.session.previewLayer()) layer->opacity = 1;
  auto snapshot = cameraTransitionView_;
  UIKit::UIView::animate(
      0.5, [snapshot] { snapshot->setAlpha(0); },
      [weak = parts_.weak(), snapshot](bool) {
        snapshot->removeFromSuperview();
        auto self = weak.lock();
        if (!self) return;
        auto& flip = Parts::of(*self).flip;
        flip.transitionAnimating_ = false;
        if (flip.cameraTransitionView_ == snapshot) flip.cameraTransitionView_.reset();
      });
}

void ZTCameraViewManager::Flip::_updateCameraDevice(CameraDevice device) {
  auto& owner = parts_.session;
  auto session = owner.captureSession();
  if (!session) return;
  session->beginConfiguration();
  const auto inputs = session->inputs();
  const auto microphone = owner.mic();
  for (const auto& input : inputs) {
    auto deviceInput = std::dynamic_pointer_cast<AVFoundation::AVCaptureDeviceInput>(input);
    if (deviceInput && (!microphone || deviceInput->device() != microphone)) {
      session->removeInput(input);
    }
  }
  std::shared_ptr<AVCaptureDevice> wanted;
  if (device == CameraDevice::back) {
    wanted = owner.backCameraDevice();
  } else if (parts_.settings.hasFrontCamera) {
    wanted = owner.frontCameraDevice();
  }
  if (auto input = owner._deviceInputFromDevice(wanted); input && session->canAddInput(input)) {
    session->addInput(input);
  }
  session->commitConfiguration();
}

void ZTCameraViewManager::Flip::_updateIlluminationMode(CameraFlashMode mode) {
  if (parts_.settings.get(&Values::cameraOutputMode) == CameraOutputMode::stillImage) {
    pictureFlashMode_ = static_cast<AVCaptureDevice::FlashMode>(rawValue(mode));
  } else {
    _updateTorch(mode);
  }
}

void ZTCameraViewManager::Flip::_updateTorch(CameraFlashMode mode) {
  auto session = parts_.session.captureSession();
  if (session) session->beginConfiguration();
  const auto torch = static_cast<AVCaptureDevice::TorchMode>(rawValue(mode));
  const bool back = parts_.settings.get(&Values::cameraDevice) == CameraDevice::back;
  for (auto position : {AVCaptureDevice::Position::front, AVCaptureDevice::Position::back}) {
    auto device = camera(position);
    if (!device || !back || !device->isTorchModeSupported(torch)) continue;
    if (!device->lockForConfiguration()) break;
    device->setTorchMode(torch);
    device->unlockForConfiguration();
  }
  if (session) session->commitConfiguration();
}

}  // namespace ZentrelSDK
