#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <AVFoundation/AVCaptureInput.hpp>
#include <AVFoundation/AVCaptureVideoPreviewLayer.hpp>
#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/Result.hpp>
#include <Photos/PHPhotoLibrary.hpp>
#include <QuartzCore/CAShapeLayer.hpp>
#include <UIKit/UIDevice.hpp>
#include <UIKit/UIImage.hpp>
#include <UIKit/UIPanGestureRecognizer.hpp>
#include <UIKit/UIPinchGestureRecognizer.hpp>
#include <UIKit/UITapGestureRecognizer.hpp>

#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManager.hpp"

// The manager's private parts. Each guards its own fields with its own lock (or keeps them on
// the main thread) and calls another part, the platform or a callback only with no lock held,
// so no two locks are ever taken together.

namespace ZentrelSDK {

// The settings' values, with their defaults.
struct CameraSettingValues {
  std::optional<std::string> imageAlbumName;
  std::optional<std::string> videoAlbumName;
  bool showErrorsToUsers = false;
  bool showAccessPermissionPopupAutomatically = true;
  ZTCameraViewManager::ShowErrorBlock showErrorBlock;
  bool writeFilesToPhoneLibrary = true;
  bool shouldFlipFrontCameraImage = false;
  bool shouldKeepViewAtOrientationChanges = false;
  bool shouldEnableTapToFocus = true;
  bool shouldEnablePinchToZoom = true;
  bool shouldEnableExposure = true;
  bool animateCameraDeviceChange = true;
  bool animateShutter = true;
  CameraDevice cameraDevice = CameraDevice::back;
  CameraFlashMode flashMode = CameraFlashMode::off;
  CameraOutputQuality cameraOutputQuality = CameraOutputQuality::high;
  CameraOutputMode cameraOutputMode = CameraOutputMode::stillImage;
  AVFoundation::AVCaptureDevice::FocusMode focusMode =
      AVFoundation::AVCaptureDevice::FocusMode::continuousAutoFocus;
  AVFoundation::AVCaptureDevice::ExposureMode exposureMode =
      AVFoundation::AVCaptureDevice::ExposureMode::continuousAutoExposure;
  AVFoundation::AVCaptureVideoStabilizationMode videoStabilisationMode =
      AVFoundation::AVCaptureVideoStabilizationMode::automatic;
};

// The public settings; written by the host, read by every part. Defined with its getters and
// setters in ZTCameraViewManager.cpp.
class ZTCameraViewManager::Settings {
 public:
  using Values = CameraSettingValues;

  Settings();

  template <class T>
  T get(T Values::*field) const {
    std::lock_guard lock(mutex_);
    return values_.*field;
  }
  // Stores the value and returns the one it replaced.
  template <class T>
  T exchange(T Values::*field, T value) {
    std::lock_guard lock(mutex_);
    return std::exchange(values_.*field, std::move(value));
  }
  // The front camera with flipping on: its pictures are mirrored.
  bool mirrorsFrontCamera() const;

  const bool hasFrontCamera;
  const bool hasFlash;

 private:
  mutable std::mutex mutex_;
  Values values_;
};

// Devices, the session's set-up and life, the preview and the preset. Session.cpp and
// Outputs.cpp.
class ZTCameraViewManager::Session {
 public:
  explicit Session(Parts& parts) : parts_(parts) {}

  std::shared_ptr<AVFoundation::AVCaptureSession> captureSession() const;
  bool isSetUp() const;
  std::shared_ptr<AVFoundation::AVCaptureVideoPreviewLayer> previewLayer() const;
  std::shared_ptr<UIKit::UIView> embeddingView() const;
  UIKit::UIDeviceOrientation deviceOrientation() const;
  std::shared_ptr<Photos::PHPhotoLibrary> library() const;

  // Devices, looked up on first use.
  std::shared_ptr<AVFoundation::AVCaptureDevice> frontCameraDevice();
  std::shared_ptr<AVFoundation::AVCaptureDevice> backCameraDevice();
  std::shared_ptr<AVFoundation::AVCaptureDevice> mic();
  std::shared_ptr<AVFoundation::AVCaptureDevice> currentDevice();

  CameraState attach(const std::shared_ptr<UIKit::UIView>& view, CameraOutputMode mode,
                     std::function<void()> completion);
  void resume();
  void remove();
  CameraState _checkIfCameraIsAvailable();
  void _orientationChanged();
  AVFoundation::AVCaptureVideoOrientation _currentCaptureVideoOrientation();

  // Outputs and presets.
  void _setupOutputMode(CameraOutputMode newMode, std::optional<CameraOutputMode> oldMode);
  void _updateCameraQualityMode(CameraOutputQuality quality);
  std::shared_ptr<AVFoundation::AVCaptureDeviceInput> _deviceInputFromDevice(
      const std::shared_ptr<AVFoundation::AVCaptureDevice>& device);

 private:
  // Found, missing, or not yet looked up (nullopt).
  using LazyDevice = std::optional<std::shared_ptr<AVFoundation::AVCaptureDevice>>;
  struct PendingAttach {
    std::weak_ptr<UIKit::UIView> view;
    CameraOutputMode mode = CameraOutputMode::stillImage;
    std::vector<std::function<void()>> completions;
  };

  std::shared_ptr<AVFoundation::AVCaptureDevice> lookUp(
      LazyDevice& slot,
      const std::function<std::shared_ptr<AVFoundation::AVCaptureDevice>()>& find);
  bool _canLoadCamera(CameraState state) const;
  void _setupCamera(std::optional<PendingAttach> attach);
  void runSetup(const std::shared_ptr<AVFoundation::AVCaptureSession>& session);
  void _addPreviewLayerToView(const std::shared_ptr<UIKit::UIView>& view);
  UIKit::UIDeviceOrientation _currentPreviewDeviceOrientation() const;
  AVFoundation::AVCaptureVideoOrientation _currentPreviewVideoOrientation();
  AVFoundation::AVCaptureVideoOrientation _videoOrientation(UIKit::UIDeviceOrientation orientation);
  static AVFoundation::AVCaptureVideoOrientation _videoOrientationFromStatusBarOrientation();
  void _setupOutputs();
  void removeOldOutputMode(std::optional<CameraOutputMode> oldMode);
  void setNewOutputMode(CameraOutputMode newMode);
  void _setupPreviewLayer();
  void _removeMicInput();

  Parts& parts_;
  mutable std::mutex mutex_;
  std::shared_ptr<AVFoundation::AVCaptureSession> captureSession_;
  bool cameraIsSetup_ = false;
  // The session whose set-up is queued, and what attaching asked of it meanwhile.
  std::shared_ptr<AVFoundation::AVCaptureSession> queuedSetup_;
  std::optional<PendingAttach> pendingAttach_;
  std::weak_ptr<UIKit::UIView> embeddingView_;
  LazyDevice frontCameraDevice_;
  LazyDevice backCameraDevice_;
  LazyDevice mic_;
  std::shared_ptr<AVFoundation::AVCaptureVideoPreviewLayer> previewLayer_;
  std::shared_ptr<Photos::PHPhotoLibrary> library_;
  UIKit::UIDeviceOrientation deviceOrientation_ = UIKit::UIDeviceOrientation::portrait;
};

// Still photos: the output, the request waiting for its callback and its time-out. Photo.cpp.
class ZTCameraViewManager::PhotoCapture {
 public:
  // One capture, matched to its platform callback by the settings' identifier. The first
  // outcome wins; later ones (a late or repeated callback, the time-out) are dropped.
  struct Request {
    explicit Request(std::int64_t id) : id(id) {}

    bool finish(CaptureResult outcome) {
      {
        std::lock_guard lock(mutex);
        if (result) return false;
        result = std::move(outcome);
      }
      done.notify_all();
      return true;
    }
    CaptureResult wait() {
      std::unique_lock lock(mutex);
      done.wait(lock, [this] { return result.has_value(); });
      return *result;
    }

    const std::int64_t id;
    std::mutex mutex;
    std::condition_variable done;
    std::optional<CaptureResult> result;
  };

  explicit PhotoCapture(Parts& parts) : parts_(parts) {}

  void capture(CaptureCompletion completion);
  void captureAndSave(const std::string& prefix, CaptureCompletion completion);
  void didFinish(const AVFoundation::AVCapturePhoto& photo,
                 const std::optional<Foundation::NSError>& error);
  std::shared_ptr<AVFoundation::AVCapturePhotoOutput> output() const;
  // Made on first use; not added to any session.
  std::shared_ptr<AVFoundation::AVCapturePhotoOutput> makeOutput();
  double timeout() const;
  void setTimeout(double seconds);
  // Forgets the output and fails a capture still waiting.
  void remove();

 private:
  // Starts one capture on the session queue: its request, or failure when the photo output
  // has no enabled video connection.
  Foundation::Result<std::shared_ptr<Request>, CaptureResult> startCapture();
  void endCapture(const std::shared_ptr<Request>& request);
  std::shared_ptr<AVFoundation::AVCapturePhotoOutput> setImageOutput();
  void prepareForCapturing(AVFoundation::AVCaptureConnection& connection);
  // Writes the picture (on the session queue), then reports on `reportQueue`.
  void savePictureIntoLibrary(const std::string& prefix, Foundation::Data bytes,
                              const CaptureCompletion& completion,
                              const Dispatch::DispatchQueue& reportQueue);
  Foundation::Result<Foundation::URL, CaptureFailure> writePicture(const std::string& prefix,
                                                                   Foundation::Data bytes) const;
  void _saveImageToLibrary(const Foundation::URL& fileURL, const CaptureCompletion& completion);
  std::shared_ptr<UIKit::UIImage> fixOrientation(std::shared_ptr<UIKit::UIImage> image) const;
  static UIKit::UIImage::Orientation _imageOrientation(UIKit::UIDeviceOrientation orientation,
                                                       bool isMirrored);
  void _performShutterAnimation(std::function<void()> completion);

  Parts& parts_;
  mutable std::mutex mutex_;
  std::shared_ptr<AVFoundation::AVCapturePhotoOutput> output_;
  std::shared_ptr<Request> pending_;
  double timeout_ = defaultPhotoCaptureTimeout;
};

// Movies: the movie output, the location track, and the completion that runs once. Video.cpp.
class ZTCameraViewManager::Recording {
 public:
  explicit Recording(Parts& parts) : parts_(parts) {}

  void start();
  void stop(VideoCompletion completion);
  void didStart();
  void didFinish(const Foundation::URL& outputFileURL,
                 const std::optional<Foundation::NSError>& error);
  std::shared_ptr<AVFoundation::AVCaptureMovieFileOutput> output() const;
  // Made on first use; not added to any session.
  std::shared_ptr<AVFoundation::AVCaptureMovieFileOutput> makeOutput();
  // Made on first use and added to the session.
  std::shared_ptr<AVFoundation::AVCaptureMovieFileOutput> _getMovieOutput();
  void remove();

 private:
  // The movie output, and whether this call made it.
  std::pair<std::shared_ptr<AVFoundation::AVCaptureMovieFileOutput>, bool> installOutput();
  Foundation::URL _tempFilePath() const;
  void _saveVideoToLibrary(const Foundation::URL& url);
  void _executeVideoCompletionWithURL(const std::optional<Foundation::URL>& url,
                                      const std::optional<Foundation::NSError>& error);

  Parts& parts_;
  mutable std::mutex mutex_;
  std::shared_ptr<AVFoundation::AVCaptureMovieFileOutput> movieOutput_;
  std::shared_ptr<AVFoundation::AVCaptureInput> metadataInput_;
  VideoCompletion videoCompletion_;
  bool recording_ = false;
};

// Pinch to zoom, tap to focus, pan to expose. Gestures.cpp.
class ZTCameraViewManager::Gestures {
 public:
  explicit Gestures(Parts& parts) : parts_(parts) {}

  std::shared_ptr<UIKit::UIPinchGestureRecognizer> zoomGesture();
  std::shared_ptr<UIKit::UITapGestureRecognizer> focusGesture();
  std::shared_ptr<UIKit::UIPanGestureRecognizer> exposureGesture();
  void attach(const std::shared_ptr<UIKit::UIView>& view);
  void shouldBegin(UIKit::UIGestureRecognizer& recognizer);
  void _setupMaxZoomScale();
  void _zoom(UIKit::CGFloat scale);
  float exposureValue() const;
  void setExposureValue(float value);
  float translationY() const;
  void setTranslationY(float value);
  std::optional<UIKit::CGPoint> startPanPointInPreviewLayer() const;

 private:
  template <class Recognizer>
  void attachGesture(const std::shared_ptr<UIKit::UIView>& view,
                     std::shared_ptr<Recognizer> (Gestures::*recognizer)(),
                     void (Gestures::*action)(Recognizer&), const char* selector);
  void _zoomStart(UIKit::UIPinchGestureRecognizer& recognizer);
  void _focusStart(UIKit::UITapGestureRecognizer& recognizer);
  void _showFocusRectangleAtPoint(UIKit::CGPoint point, QuartzCore::CALayer& layer,
                                  std::optional<float> brightness = std::nullopt);
  void _exposureStart(UIKit::UIPanGestureRecognizer& recognizer);
  void _changeExposureMode(AVFoundation::AVCaptureDevice::ExposureMode mode);
  void _changeExposureDuration(float value);

  Parts& parts_;
  mutable std::mutex mutex_;
  UIKit::CGFloat zoomScale_ = 1;
  UIKit::CGFloat beginZoomScale_ = 1;
  UIKit::CGFloat maxZoomScale_ = 1;
  std::shared_ptr<UIKit::UIPinchGestureRecognizer> zoomGesture_;
  std::shared_ptr<UIKit::UITapGestureRecognizer> focusGesture_;
  std::shared_ptr<UIKit::UIPanGestureRecognizer> exposureGesture_;
  float exposureValue_ = 0.1f;
  float translationY_ = 0;
  std::optional<UIKit::CGPoint> startPanPointInPreviewLayer_;
  std::shared_ptr<QuartzCore::CAShapeLayer> lastFocusRectangle_;  // main thread
  std::optional<UIKit::CGPoint> lastFocusPoint_;                  // main thread
};

// Flip, flash and torch. Outputs.cpp.
class ZTCameraViewManager::Flip {
 public:
  explicit Flip(Parts& parts) : parts_(parts) {}

  void _doFlipAnimation();
  void _updateCameraDevice(CameraDevice device);
  void _updateIlluminationMode(CameraFlashMode mode);
  AVFoundation::AVCaptureDevice::FlashMode pictureFlashMode() const { return pictureFlashMode_; }

 private:
  static bool _blurSupported();
  static std::string _hardwareString();
  void _flipCameraTransitionView();
  void _removeCameraTransistionView();
  void _updateTorch(CameraFlashMode mode);

  Parts& parts_;
  std::atomic<AVFoundation::AVCaptureDevice::FlashMode> pictureFlashMode_ =
      AVFoundation::AVCaptureDevice::FlashMode::off;
  // Main thread.
  std::shared_ptr<UIKit::UIView> cameraTransitionView_;
  bool transitionAnimating_ = false;
};

struct ZTCameraViewManager::Parts {
  explicit Parts(ZTCameraViewManager& owner)
      : manager(owner),
        session(*this),
        photo(*this),
        recording(*this),
        gestures(*this),
        flip(*this) {}

  static Parts& of(ZTCameraViewManager& owner) { return *owner.parts_; }
  std::weak_ptr<ZTCameraViewManager> weak() const { return manager.weak_from_this(); }
  // Shown on the main queue, when the user is to see errors.
  void show(const std::string& title, const std::string& message);
  // The library to save into and the album for photos or movies.
  std::pair<std::shared_ptr<Photos::PHPhotoLibrary>, std::optional<std::string>> libraryAndAlbum(
      MediaType media) const;
  // Change hooks of a set-up camera.
  void cameraDeviceChanged(CameraDevice device);
  void cameraOutputModeChanged(CameraOutputMode newMode, CameraOutputMode oldMode);

  ZTCameraViewManager& manager;
  const Dispatch::DispatchQueue sessionQueue{"CameraSessionQueue"};
  Settings settings;
  Session session;
  PhotoCapture photo;
  Recording recording;
  Gestures gestures;
  Flip flip;
};

// Stands for the manager where the platform holds a delegate, so a capture or recording that
// never ends keeps no manager alive. Only the callbacks the manager answers are forwarded.
class CameraCallbackForwarder : public AVFoundation::AVCapturePhotoCaptureDelegate,
                                public AVFoundation::AVCaptureFileOutputRecordingDelegate {
 public:
  explicit CameraCallbackForwarder(std::weak_ptr<ZTCameraViewManager> manager)
      : manager_(std::move(manager)) {}

  void photoOutput(AVFoundation::AVCapturePhotoOutput& output,
                   const AVFoundation::AVCapturePhoto& photo,
                   const std::optional<Foundation::NSError>& error) override {
    if (auto manager = manager_.lock()) manager->photoOutput(output, photo, error);
  }
  void fileOutput(
      AVFoundation::AVCaptureFileOutput& output, const Foundation::URL& outputFileURL,
      const std::vector<std::shared_ptr<AVFoundation::AVCaptureConnection>>& connections,
      const std::optional<Foundation::NSError>& error) override {
    if (auto manager = manager_.lock())
      manager->fileOutput(output, outputFileURL, connections, error);
  }

 private:
  std::weak_ptr<ZTCameraViewManager> manager_;
};

// The user-message texts, looked up in the host's main bundle.
std::string localized(const char* text);
// The default for showErrorBlock: an "OK" alert over the key window's root view controller.
void showDefaultAlert(const std::string& title, const std::string& message);

}  // namespace ZentrelSDK
