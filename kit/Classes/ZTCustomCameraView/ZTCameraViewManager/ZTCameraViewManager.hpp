#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <AVFoundation/AVCaptureDevice.hpp>
#include <AVFoundation/AVCaptureMovieFileOutput.hpp>
#include <AVFoundation/AVCapturePhotoOutput.hpp>
#include <AVFoundation/AVCaptureSession.hpp>
#include <AVFoundation/AVCaptureVideoPreviewLayer.hpp>
#include <CoreMedia/CMTime.hpp>
#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/NSError.hpp>
#include <Foundation/Result.hpp>
#include <Foundation/URL.hpp>
#include <Photos/PHPhotoLibrary.hpp>
#include <QuartzCore/CAShapeLayer.hpp>
#include <UIKit/UIDevice.hpp>
#include <UIKit/UIGestureRecognizer.hpp>
#include <UIKit/UIImage.hpp>
#include <UIKit/UIPanGestureRecognizer.hpp>
#include <UIKit/UIPinchGestureRecognizer.hpp>
#include <UIKit/UITapGestureRecognizer.hpp>
#include <UIKit/UIView.hpp>

#include "ZTCustomCameraView/ZTCameraViewManager/CaptureResult.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/ZTCaptureTypes.hpp"

namespace ZentrelSDK {

// A camera over the platform's capture session: a live preview in a host view, camera access,
// still photos as JPEG files in the kit's cache folder, movies, pinch, tap and pan gestures,
// flash, torch, camera flip and quality presets. One per owner; made with std::make_shared.
//
// Threads: the set-up, a resumed start and each photo capture run on the manager's own serial
// queue "CameraSessionQueue"; views and layers are touched on the main queue; settings and
// their change hooks run on the writer's thread. One mutex guards the manager's state and is
// never held while waiting, calling out or dispatching.
class ZTCameraViewManager : public std::enable_shared_from_this<ZTCameraViewManager>,
                            public AVFoundation::AVCapturePhotoCaptureDelegate,
                            public AVFoundation::AVCaptureFileOutputRecordingDelegate,
                            public UIKit::UIGestureRecognizerDelegate {
 public:
  using ShowErrorBlock = std::function<void(const std::string& title, const std::string& message)>;
  using CaptureCompletion = std::function<void(const CaptureResult&)>;
  using VideoCompletion = std::function<void(const std::optional<Foundation::URL>& videoURL,
                                             const std::optional<Foundation::NSError>& error)>;

  // Exposure curve: duration = value^power over the device's range, never below the minimum.
  static constexpr float exposureDurationPower = 4.0f;
  static constexpr double exposureMininumDuration = 0.0005;
  // How long a photo capture waits for the platform's callback by default, in seconds of
  // the process clock.
  static constexpr double defaultPhotoCaptureTimeout = 10;

  ZTCameraViewManager();
  ~ZTCameraViewManager() override;
  ZTCameraViewManager(const ZTCameraViewManager&) = delete;
  ZTCameraViewManager& operator=(const ZTCameraViewManager&) = delete;

  // Settings. Writes of the four with change hooks act on a set-up camera only.
  std::optional<std::string> imageAlbumName() const;
  void setImageAlbumName(std::optional<std::string> name);
  std::optional<std::string> videoAlbumName() const;
  void setVideoAlbumName(std::optional<std::string> name);
  std::shared_ptr<AVFoundation::AVCaptureSession> captureSession() const;
  bool showErrorsToUsers() const;
  void setShowErrorsToUsers(bool show);
  bool showAccessPermissionPopupAutomatically() const;
  void setShowAccessPermissionPopupAutomatically(bool show);
  // Presents one user message on the main queue. By default an "OK" alert over the key
  // window's root view controller, or nothing without one.
  ShowErrorBlock showErrorBlock() const;
  void setShowErrorBlock(ShowErrorBlock block);
  bool writeFilesToPhoneLibrary() const;
  void setWriteFilesToPhoneLibrary(bool write);
  bool shouldFlipFrontCameraImage() const;
  void setShouldFlipFrontCameraImage(bool flip);
  bool shouldKeepViewAtOrientationChanges() const;
  void setShouldKeepViewAtOrientationChanges(bool keep);
  bool shouldEnableTapToFocus() const;
  void setShouldEnableTapToFocus(bool enable);
  bool shouldEnablePinchToZoom() const;
  void setShouldEnablePinchToZoom(bool enable);
  bool shouldEnableExposure() const;
  void setShouldEnableExposure(bool enable);
  bool cameraIsReady() const;
  bool hasFrontCamera() const;
  bool hasFlash() const;
  bool animateCameraDeviceChange() const;
  void setAnimateCameraDeviceChange(bool animate);
  bool animateShutter() const;
  void setAnimateShutter(bool animate);
  CameraDevice cameraDevice() const;
  void setCameraDevice(CameraDevice device);
  CameraFlashMode flashMode() const;
  void setFlashMode(CameraFlashMode mode);
  CameraOutputQuality cameraOutputQuality() const;
  void setCameraOutputQuality(CameraOutputQuality quality);
  CameraOutputMode cameraOutputMode() const;
  void setCameraOutputMode(CameraOutputMode mode);
  CoreMedia::CMTime recordedDuration() const;
  std::int64_t recordedFileSize() const;
  AVFoundation::AVCaptureDevice::FocusMode focusMode() const;
  void setFocusMode(AVFoundation::AVCaptureDevice::FocusMode mode);
  AVFoundation::AVCaptureDevice::ExposureMode exposureMode() const;
  void setExposureMode(AVFoundation::AVCaptureDevice::ExposureMode mode);
  AVFoundation::AVCaptureVideoStabilizationMode videoStabilisationMode() const;
  void setVideoStabilisationMode(AVFoundation::AVCaptureVideoStabilizationMode mode);
  float exposureValue() const;
  void setExposureValue(float value);
  float translationY() const;
  void setTranslationY(float value);
  std::optional<UIKit::CGPoint> startPanPointInPreviewLayer() const;
  // How long one photo capture waits for the platform before it fails with noImageData.
  double photoCaptureTimeout() const;
  void setPhotoCaptureTimeout(double seconds);

  // Session and permissions.
  CameraState addPreviewLayerToView(const std::shared_ptr<UIKit::UIView>& view);
  CameraState addPreviewLayerToView(const std::shared_ptr<UIKit::UIView>& view,
                                    CameraOutputMode newCameraOutputMode);
  // Attaches the preview, setting the session up on first use. The completion runs once the
  // preview is attached: at once when set up, else on the session queue after the set-up.
  CameraState addLayerPreviewToView(const std::shared_ptr<UIKit::UIView>& view,
                                    CameraOutputMode newCameraOutputMode,
                                    std::function<void()> completion);
  void zoom(UIKit::CGFloat scale);
  // Camera access (and the microphone's in videoWithMic); the answer on the main queue.
  void askUserForCameraPermission(std::function<void(bool granted)> completion);
  void stopCaptureSession();
  void resumeCaptureSession();
  void stopAndRemoveCaptureSession();

  // Photos. The completion gets the file's URL (and, with the library on, later the asset or
  // assetNotSaved). A success comes on the main queue with the shutter animation, else on the
  // session queue; failures on the session queue.
  void captureAndSavePictureWithCompletion(const std::string& picturePrefix,
                                           CaptureCompletion completion);
  // The capture's own bytes.
  void capturePhotoWithCompletion(CaptureCompletion completion);

  // Movies into "tempMovie<seconds>.mp4" in the temporary folder. The completion runs exactly
  // once, on a platform queue.
  void startRecordingVideo();
  void stopVideoRecording(VideoCompletion completion);

  bool deviceOrientationMatchesInterfaceOrientation() const;
  CameraState currentCameraStatus();
  CameraFlashMode changeFlashMode();
  CameraOutputQuality changeQualityMode();
  bool hasFlash(CameraDevice device) const;
  void resetOrientation();

  // Platform callbacks.
  void photoOutput(AVFoundation::AVCapturePhotoOutput& output,
                   const AVFoundation::AVCapturePhoto& photo,
                   const std::optional<Foundation::NSError>& error) override;
  // Re-applies the illumination inside a configuration; the platform's start callback does
  // not reach it.
  void fileOutput(
      AVFoundation::AVCaptureFileOutput& captureOutput, const Foundation::URL& fileURL,
      const std::vector<std::shared_ptr<AVFoundation::AVCaptureConnection>>& connections) override;
  void fileOutput(
      AVFoundation::AVCaptureFileOutput& output, const Foundation::URL& outputFileURL,
      const std::vector<std::shared_ptr<AVFoundation::AVCaptureConnection>>& connections,
      const std::optional<Foundation::NSError>& error) override;
  bool gestureRecognizerShouldBegin(UIKit::UIGestureRecognizer& recognizer) override;

 private:
  struct PhotoRequest;
  class CallbackForwarder;
  // Found, missing, or not yet looked up (nullopt).
  using LazyDevice = std::optional<std::shared_ptr<AVFoundation::AVCaptureDevice>>;
  struct PendingAttach {
    std::weak_ptr<UIKit::UIView> view;
    CameraOutputMode mode = CameraOutputMode::stillImage;
    std::vector<std::function<void()>> completions;
  };

  // Devices and the gestures' recognisers, looked up or made on first use.
  std::shared_ptr<AVFoundation::AVCaptureDevice> frontCameraDevice();
  std::shared_ptr<AVFoundation::AVCaptureDevice> backCameraDevice();
  std::shared_ptr<AVFoundation::AVCaptureDevice> mic();
  std::shared_ptr<AVFoundation::AVCaptureDevice> currentDevice();
  std::shared_ptr<AVFoundation::AVCaptureDevice> lookUp(
      LazyDevice& slot,
      const std::function<std::shared_ptr<AVFoundation::AVCaptureDevice>()>& find);
  std::shared_ptr<UIKit::UIPinchGestureRecognizer> zoomGesture();
  std::shared_ptr<UIKit::UITapGestureRecognizer> focusGesture();
  std::shared_ptr<UIKit::UIPanGestureRecognizer> exposureGesture();
  std::shared_ptr<AVFoundation::AVCaptureVideoPreviewLayer> previewLayer() const;

  // Session.
  std::shared_ptr<AVFoundation::AVCaptureMovieFileOutput> _getMovieOutput();
  void _orientationChanged();
  AVFoundation::AVCaptureVideoOrientation _currentCaptureVideoOrientation();
  UIKit::UIDeviceOrientation _currentPreviewDeviceOrientation() const;
  AVFoundation::AVCaptureVideoOrientation _currentPreviewVideoOrientation();
  AVFoundation::AVCaptureVideoOrientation _videoOrientation(UIKit::UIDeviceOrientation orientation);
  static AVFoundation::AVCaptureVideoOrientation _videoOrientationFromStatusBarOrientation();
  bool _canLoadCamera(CameraState state) const;
  void _setupCamera(std::optional<PendingAttach> attach);
  void runSetup(const std::shared_ptr<AVFoundation::AVCaptureSession>& session);
  void _addPreviewLayerToView(const std::shared_ptr<UIKit::UIView>& view);
  void _setupMaxZoomScale();
  CameraState _checkIfCameraIsAvailable();
  void removeSession();
  void _show(const std::string& title, const std::string& message);
  static void showDefaultAlert(const std::string& title, const std::string& message);

  // Photos.
  // Starts one capture on the session queue: its request, or failure when the photo output
  // has no enabled video connection.
  Foundation::Result<std::shared_ptr<PhotoRequest>, CaptureResult> startCapture();
  void endCapture(const std::shared_ptr<PhotoRequest>& request);
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

  // Movies.
  Foundation::URL _tempFilePath() const;
  // The library to save into and the album for photos or movies, read together.
  std::pair<std::shared_ptr<Photos::PHPhotoLibrary>, std::optional<std::string>> libraryAndAlbum(
      MediaType media) const;
  void _saveVideoToLibrary(const Foundation::URL& url);
  void _executeVideoCompletionWithURL(const std::optional<Foundation::URL>& url,
                                      const std::optional<Foundation::NSError>& error);

  // Gestures.
  void attachZoom(const std::shared_ptr<UIKit::UIView>& view);
  void attachFocus(const std::shared_ptr<UIKit::UIView>& view);
  void attachExposure(const std::shared_ptr<UIKit::UIView>& view);
  template <class Recognizer>
  void attachGesture(const std::shared_ptr<UIKit::UIView>& view,
                     std::shared_ptr<Recognizer> (ZTCameraViewManager::*recognizer)(),
                     void (ZTCameraViewManager::*action)(Recognizer&));
  void _zoomStart(UIKit::UIPinchGestureRecognizer& recognizer);
  void _zoom(UIKit::CGFloat scale);
  void _focusStart(UIKit::UITapGestureRecognizer& recognizer);
  void _showFocusRectangleAtPoint(UIKit::CGPoint point, QuartzCore::CALayer& layer,
                                  std::optional<float> brightness = std::nullopt);
  void _exposureStart(UIKit::UIPanGestureRecognizer& recognizer);
  void _changeExposureMode(AVFoundation::AVCaptureDevice::ExposureMode mode);
  void _changeExposureDuration(float value);

  // Outputs and presets.
  void _setupOutputMode(CameraOutputMode newMode, std::optional<CameraOutputMode> oldMode);
  void _setupOutputs();
  void removeOldOutputMode(std::optional<CameraOutputMode> oldMode);
  void setNewOutputMode(CameraOutputMode newMode);
  void _setupPreviewLayer();
  void _updateCameraQualityMode(CameraOutputQuality quality);
  void _removeMicInput();
  std::shared_ptr<AVFoundation::AVCaptureDeviceInput> _deviceInputFromDevice(
      const std::shared_ptr<AVFoundation::AVCaptureDevice>& device);

  // Flip, flash and torch.
  void _doFlipAnimation();
  static bool _blurSupported();
  static std::string _hardwareString();
  void _flipCameraTransitionView();
  void _removeCameraTransistionView();
  void _updateCameraDevice(CameraDevice device);
  void _updateIlluminationMode(CameraFlashMode mode);
  void updatePhotoFlash(CameraFlashMode mode);
  void _updateTorch(CameraFlashMode mode);
  void _performShutterAnimation(std::function<void()> completion);

  // Change hooks.
  void cameraDeviceChanged(CameraDevice device);
  void cameraOutputModeChanged(CameraOutputMode newMode, CameraOutputMode oldMode);

  mutable std::mutex mutex_;
  // Settings.
  std::optional<std::string> imageAlbumName_;
  std::optional<std::string> videoAlbumName_;
  std::shared_ptr<AVFoundation::AVCaptureSession> captureSession_;
  bool showErrorsToUsers_ = false;
  bool showAccessPermissionPopupAutomatically_ = true;
  ShowErrorBlock showErrorBlock_;
  bool writeFilesToPhoneLibrary_ = true;
  bool shouldFlipFrontCameraImage_ = false;
  bool shouldKeepViewAtOrientationChanges_ = false;
  bool shouldEnableTapToFocus_ = true;
  bool shouldEnablePinchToZoom_ = true;
  bool shouldEnableExposure_ = true;
  const bool hasFrontCamera_;
  const bool hasFlash_;
  bool animateCameraDeviceChange_ = true;
  bool animateShutter_ = true;
  CameraDevice cameraDevice_ = CameraDevice::back;
  CameraFlashMode flashMode_ = CameraFlashMode::off;
  CameraOutputQuality cameraOutputQuality_ = CameraOutputQuality::high;
  CameraOutputMode cameraOutputMode_ = CameraOutputMode::stillImage;
  AVFoundation::AVCaptureDevice::FocusMode focusMode_ =
      AVFoundation::AVCaptureDevice::FocusMode::continuousAutoFocus;
  AVFoundation::AVCaptureDevice::ExposureMode exposureMode_ =
      AVFoundation::AVCaptureDevice::ExposureMode::continuousAutoExposure;
  AVFoundation::AVCaptureVideoStabilizationMode videoStabilisationMode_ =
      AVFoundation::AVCaptureVideoStabilizationMode::automatic;
  // Session state.
  std::weak_ptr<UIKit::UIView> embeddingView_;
  VideoCompletion videoCompletion_;
  bool recording_ = false;
  const Dispatch::DispatchQueue sessionQueue_{"CameraSessionQueue"};
  LazyDevice frontCameraDevice_;
  LazyDevice backCameraDevice_;
  LazyDevice mic_;
  std::shared_ptr<AVFoundation::AVCapturePhotoOutput> capturePhotoOutput_;
  std::shared_ptr<PhotoRequest> pendingCapture_;
  double photoCaptureTimeout_ = defaultPhotoCaptureTimeout;
  std::shared_ptr<AVFoundation::AVCaptureMovieFileOutput> movieOutput_;
  std::shared_ptr<AVFoundation::AVCaptureInput> metadataInput_;
  std::shared_ptr<AVFoundation::AVCaptureVideoPreviewLayer> previewLayer_;
  std::shared_ptr<Photos::PHPhotoLibrary> library_;
  bool cameraIsSetup_ = false;
  // The session whose set-up is queued, and what attaching asked of it meanwhile.
  std::shared_ptr<AVFoundation::AVCaptureSession> queuedSetup_;
  std::optional<PendingAttach> pendingAttach_;
  UIKit::CGFloat zoomScale_ = 1;
  UIKit::CGFloat beginZoomScale_ = 1;
  UIKit::CGFloat maxZoomScale_ = 1;
  UIKit::UIDeviceOrientation deviceOrientation_ = UIKit::UIDeviceOrientation::portrait;
  AVFoundation::AVCaptureDevice::FlashMode pictureFlashMode_ =
      AVFoundation::AVCaptureDevice::FlashMode::off;
  // Gestures.
  std::shared_ptr<UIKit::UIPinchGestureRecognizer> zoomGesture_;
  std::shared_ptr<UIKit::UITapGestureRecognizer> focusGesture_;
  std::shared_ptr<UIKit::UIPanGestureRecognizer> exposureGesture_;
  std::shared_ptr<QuartzCore::CAShapeLayer> lastFocusRectangle_;  // main thread
  std::optional<UIKit::CGPoint> lastFocusPoint_;                  // main thread
  float exposureValue_ = 0.1f;
  float translationY_ = 0;
  std::optional<UIKit::CGPoint> startPanPointInPreviewLayer_;
  // Flip; main thread.
  std::shared_ptr<UIKit::UIView> cameraTransitionView_;
  bool transitionAnimating_ = false;
};

}  // namespace ZentrelSDK
