#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <AVFoundation/AVCaptureDevice.hpp>
#include <AVFoundation/AVCaptureMovieFileOutput.hpp>
#include <AVFoundation/AVCapturePhotoOutput.hpp>
#include <AVFoundation/AVCaptureSession.hpp>
#include <AVFoundation/AVCaptureVideoPreviewLayer.hpp>
#include <AVFoundation/AVTypes.hpp>
#include <CoreMedia/CMTime.hpp>
#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/NSError.hpp>
#include <Foundation/URL.hpp>
#include <UIKit/UIGestureRecognizer.hpp>
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
// their change hooks run on the writer's thread. Each part of the state guards its own fields;
// no lock is held while waiting, calling out or dispatching.
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
  // The private state, in parts that each own their fields (ZTCameraViewManagerInternal.hpp).
  class Settings;
  class Session;
  class PhotoCapture;
  class Recording;
  class Gestures;
  class Flip;
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace ZentrelSDK
