#include <set>
#include <string>

#include <Foundation/SystemInfo.hpp>
#include <QuartzCore/CABasicAnimation.hpp>
#include <QuartzCore/CATransaction.hpp>
#include <UIKit/UIBlurEffect.hpp>
#include <UIKit/UIColor.hpp>
#include <UIKit/UIVisualEffectView.hpp>

#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManager.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManagerInternal.hpp"

// Outputs and presets; the camera input, flip, flash, torch and the shutter.

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

void ZTCameraViewManager::_setupOutputMode(CameraOutputMode newMode,
                                           std::optional<CameraOutputMode> oldMode) {
  auto session = captureSession();
  if (session) session->beginConfiguration();
  removeOldOutputMode(oldMode);
  setNewOutputMode(newMode);
  if (session) session->commitConfiguration();
  _updateCameraQualityMode(cameraOutputQuality());
  _orientationChanged();
}

void ZTCameraViewManager::_setupOutputs() {
  std::lock_guard lock(mutex_);
  if (!capturePhotoOutput_) capturePhotoOutput_ = AVFoundation::AVCapturePhotoOutput::make();
  if (!movieOutput_) {
    movieOutput_ = AVFoundation::AVCaptureMovieFileOutput::make();
    movieOutput_->setMovieFragmentInterval(CoreMedia::kCMTimeInvalid);
  }
  if (!library_) library_ = Photos::PHPhotoLibrary::shared();
}

void ZTCameraViewManager::removeOldOutputMode(std::optional<CameraOutputMode> oldMode) {
  if (!oldMode) return;
  std::shared_ptr<AVCaptureSession> session;
  std::shared_ptr<AVFoundation::AVCaptureOutput> output;
  {
    std::lock_guard lock(mutex_);
    session = captureSession_;
    if (*oldMode == CameraOutputMode::stillImage) {
      output = capturePhotoOutput_;
    } else {
      output = movieOutput_;
    }
  }
  if (session && output) session->removeOutput(output);
  if (*oldMode == CameraOutputMode::videoWithMic) _removeMicInput();
}

void ZTCameraViewManager::setNewOutputMode(CameraOutputMode newMode) {
  auto session = captureSession();
  if (newMode == CameraOutputMode::stillImage) {
    auto photoOutput = [this] {
      std::lock_guard lock(mutex_);
      return capturePhotoOutput_;
    };
    if (!photoOutput()) _setupOutputs();
    auto output = photoOutput();
    if (output && session && session->canAddOutput(output)) session->addOutput(output);
    return;
  }
  auto movie = _getMovieOutput();
  if (session && session->canAddOutput(movie)) session->addOutput(movie);
  if (newMode == CameraOutputMode::videoWithMic) {
    auto input = _deviceInputFromDevice(mic());
    // Only what the session can take.
    if (input && session && session->canAddInput(input)) session->addInput(input);
  }
}

void ZTCameraViewManager::_setupPreviewLayer() {
  auto session = captureSession();
  if (!session) return;
  auto layer = AVFoundation::AVCaptureVideoPreviewLayer::make(session);
  layer->videoGravity = AVFoundation::AVLayerVideoGravityResizeAspectFill;
  std::lock_guard lock(mutex_);
  previewLayer_ = layer;
}

void ZTCameraViewManager::_updateCameraQualityMode(CameraOutputQuality quality) {
  auto session = captureSession();
  if (!session) {
    _show(localized("Camera error"),
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
      preset = cameraOutputMode() == CameraOutputMode::stillImage
                   ? AVFoundation::AVCaptureSessionPresetPhoto
                   : AVFoundation::AVCaptureSessionPresetHigh;
      break;
  }
  if (!session->canSetSessionPreset(preset)) {
    _show(localized("Preset not supported"),
          localized("Camera preset not supported. Please try another one."));
    return;
  }
  session->beginConfiguration();
  session->setSessionPreset(preset);
  session->commitConfiguration();
}

void ZTCameraViewManager::_removeMicInput() {
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

std::shared_ptr<AVFoundation::AVCaptureDeviceInput> ZTCameraViewManager::_deviceInputFromDevice(
    const std::shared_ptr<AVCaptureDevice>& device) {
  if (!device) return nullptr;
  auto input = AVFoundation::AVCaptureDeviceInput::make(device);
  if (input) return input.value();
  _show(localized("Device setup error occured"), input.error().localizedDescription());
  return nullptr;
}

void ZTCameraViewManager::_doFlipAnimation() {
  if (transitionAnimating_) return;
  auto view = [&] {
    std::lock_guard lock(mutex_);
    return embeddingView_.lock();
  }();
  auto layer = previewLayer();
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
  DispatchQueue::main().async([weak = weak_from_this()] {
    if (auto self = weak.lock()) self->_flipCameraTransitionView();
  });
}

bool ZTCameraViewManager::_blurSupported() {
  static const std::set<std::string> noBlur{
      "iPad",      "iPad1,1", "iPhone1,1", "iPhone1,2", "iPhone2,1", "iPhone3,1", "iPhone3,2",
      "iPhone3,3", "iPod1,1", "iPod2,1",   "iPod2,2",   "iPod3,1",   "iPod4,1",   "iPad2,1",
      "iPad2,2",   "iPad2,3", "iPad2,4",   "iPad3,1",   "iPad3,2",   "iPad3,3"};
  return noBlur.count(_hardwareString()) == 0;
}

std::string ZTCameraViewManager::_hardwareString() {
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

void ZTCameraViewManager::_flipCameraTransitionView() {
  if (!cameraTransitionView_) return;
  UIKit::UIView::transition(cameraTransitionView_, 0.5,
                            UIKit::UIView::AnimationOptions::transitionFlipFromLeft, nullptr,
                            [weak = weak_from_this()](bool) {
                              if (auto self = weak.lock()) self->_removeCameraTransistionView();
                            });
}

void ZTCameraViewManager::_removeCameraTransistionView() {
  if (!cameraTransitionView_) return;
  if (auto layer = previewLayer()) layer->opacity = 1;
  auto snapshot = cameraTransitionView_;
  UIKit::UIView::animate(
      0.5, [snapshot] { snapshot->setAlpha(0); },
      [weak = weak_from_this(), snapshot](bool) {
        snapshot->removeFromSuperview();
        auto self = weak.lock();
        if (!self) return;
        self->transitionAnimating_ = false;
        if (self->cameraTransitionView_ == snapshot) self->cameraTransitionView_.reset();
      });
}

void ZTCameraViewManager::_updateCameraDevice(CameraDevice device) {
  auto session = captureSession();
  if (!session) return;
  session->beginConfiguration();
  const auto inputs = session->inputs();
  const auto microphone = mic();
  for (const auto& input : inputs) {
    auto deviceInput = std::dynamic_pointer_cast<AVFoundation::AVCaptureDeviceInput>(input);
    if (deviceInput && (!microphone || deviceInput->device() != microphone)) {
      session->removeInput(input);
    }
  }
  std::shared_ptr<AVCaptureDevice> wanted;
  if (device == CameraDevice::back) {
    wanted = backCameraDevice();
  } else if (hasFrontCamera_) {
    wanted = frontCameraDevice();
  }
  if (auto input = _deviceInputFromDevice(wanted); input && session->canAddInput(input)) {
    session->addInput(input);
  }
  session->commitConfiguration();
}

void ZTCameraViewManager::_updateIlluminationMode(CameraFlashMode mode) {
  if (cameraOutputMode() == CameraOutputMode::stillImage) {
    updatePhotoFlash(mode);
  } else {
    _updateTorch(mode);
  }
}

void ZTCameraViewManager::updatePhotoFlash(CameraFlashMode mode) {
  std::lock_guard lock(mutex_);
  pictureFlashMode_ = static_cast<AVCaptureDevice::FlashMode>(rawValue(mode));
}

void ZTCameraViewManager::_updateTorch(CameraFlashMode mode) {
  auto session = captureSession();
  if (session) session->beginConfiguration();
  const auto torch = static_cast<AVCaptureDevice::TorchMode>(rawValue(mode));
  const bool back = cameraDevice() == CameraDevice::back;
  for (auto position : {AVCaptureDevice::Position::front, AVCaptureDevice::Position::back}) {
    auto device = camera(position);
    if (!device || !back || !device->isTorchModeSupported(torch)) continue;
    if (!device->lockForConfiguration()) break;
    device->setTorchMode(torch);
    device->unlockForConfiguration();
  }
  if (session) session->commitConfiguration();
}

void ZTCameraViewManager::_performShutterAnimation(std::function<void()> completion) {
  auto layer = previewLayer();
  if (!layer) {
    // Nothing to animate: the photo still goes on, as it would after the animation.
    if (completion) DispatchQueue::main().async(std::move(completion));
    return;
  }
  DispatchQueue::main().async([layer, completion = std::move(completion)]() mutable {
    QuartzCore::CATransaction::begin();
    if (completion) QuartzCore::CATransaction::setCompletionBlock(std::move(completion));
    auto out = std::make_shared<QuartzCore::CABasicAnimation>("opacity");
    out->fromValue = UIKit::CGFloat(1.0);
    out->toValue = UIKit::CGFloat(0.0);
    // Under a key of its own, so the fade-in does not replace it.
    layer->add(out, "shutterOut");
    auto in = std::make_shared<QuartzCore::CABasicAnimation>("opacity");
    in->fromValue = UIKit::CGFloat(0.0);
    in->toValue = UIKit::CGFloat(1.0);
    in->beginTime = QuartzCore::CACurrentMediaTime() + 0.2;
    layer->add(in, "opacity");
    QuartzCore::CATransaction::commit();
  });
}

}  // namespace ZentrelSDK
