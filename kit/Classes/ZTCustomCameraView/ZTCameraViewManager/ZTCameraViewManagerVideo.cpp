#include <charconv>
#include <filesystem>

#include <AVFoundation/AVCaptureInput.hpp>
#include <AVFoundation/AVMetadataIdentifiers.hpp>
#include <CoreMedia/CMFormatDescription.hpp>
#include <Foundation/Date.hpp>
#include <Foundation/FileManager.hpp>
#include <Photos/PHTypes.hpp>

#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManager.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManagerInternal.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/ZTPHPhotoLibrary.hpp"

// Movies: recording into a temporary file, and a completion that runs exactly once.

namespace ZentrelSDK {

using AVFoundation::AVMediaType;

namespace {
// Swift's text of a Double: the shortest form that reads back, with ".0" when integral.
std::string swiftDouble(double value) {
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  std::string text(buffer, end);
  if (text.find_first_of(".en") == std::string::npos) text += ".0";
  return text;
}

Foundation::NSError notRecording() {
  return Foundation::NSError("ZentrelSDK.CameraViewManager", 1,
                             {{Foundation::NSLocalizedDescriptionKey, "not recording"}});
}
}  // namespace

void ZTCameraViewManager::startRecordingVideo() {
  if (cameraOutputMode() == CameraOutputMode::stillImage) {
    _show(localized("Capture session output still image"), localized("I can only take pictures"));
    return;
  }
  auto movie = _getMovieOutput();
  if (movie->isRecording()) return;  // one recording at a time
  bool mirror = false;
  AVFoundation::AVCaptureVideoStabilizationMode stabilisation{};
  std::shared_ptr<AVFoundation::AVCaptureSession> session;
  std::shared_ptr<AVFoundation::AVCaptureInput> metadata;
  {
    std::lock_guard lock(mutex_);
    mirror = cameraDevice_ == CameraDevice::front && shouldFlipFrontCameraImage_;
    stabilisation = videoStabilisationMode_;
    session = captureSession_;
    metadata = metadataInput_;
  }
  for (const auto& connection : movie->connections()) {
    for (const auto& port : connection->inputPorts()) {
      if (port->mediaType() != AVMediaType::video) continue;
      if (connection->isVideoMirroringSupported()) connection->setVideoMirrored(mirror);
      if (connection->isVideoStabilizationSupported()) {
        connection->setPreferredVideoStabilizationMode(stabilisation);
      }
    }
  }
  const auto description = CoreMedia::CMMetadataFormatDescriptionCreateWithMetadataSpecifications(
      CoreMedia::kCMMetadataFormatType_Boxed,
      {{AVFoundation::AVMetadataIdentifierQuickTimeMetadataLocationISO6709,
        CoreMedia::kCMMetadataDataType_QuickTimeMetadataLocation_ISO6709}});
  if (!session || !description) return;
  // One location track per session: later recordings reuse it.
  if (!metadata) {
    auto input = AVFoundation::AVCaptureMetadataInput::make(description.value(),
                                                            CoreMedia::CMClock::hostTimeClock());
    if (input && session->canAddInput(input) && session->addInputWithNoConnections(input)) {
      auto link = std::make_shared<AVFoundation::AVCaptureConnection>(
          std::vector{input->ports().front()},
          std::static_pointer_cast<AVFoundation::AVCaptureOutput>(movie));
      if (session->canAddConnection(link)) session->addConnection(link);
      std::lock_guard lock(mutex_);
      metadataInput_ = input;
    }
  }
  _updateIlluminationMode(flashMode());
  {
    std::lock_guard lock(mutex_);
    recording_ = true;
  }
  // A start that fails still ends through the finished callback, with its error.
  movie->startRecording(_tempFilePath(), std::make_shared<CallbackForwarder>(weak_from_this()));
}

void ZTCameraViewManager::stopVideoRecording(VideoCompletion completion) {
  std::shared_ptr<AVFoundation::AVCaptureMovieFileOutput> movie;
  {
    std::lock_guard lock(mutex_);
    if (recording_ && movieOutput_) {
      videoCompletion_ = std::move(completion);
      movie = movieOutput_;
    }
  }
  if (movie) {
    movie->stopRecording();
    return;
  }
  // Nothing records: the caller still hears, once, and not on its own stack.
  if (completion) {
    Dispatch::DispatchQueue::global().async(
        [completion] { completion(std::nullopt, notRecording()); });
  }
}

Foundation::URL ZTCameraViewManager::_tempFilePath() const {
  const auto folder = Foundation::FileManager::defaultManager().temporaryDirectory();
  const auto stem = "tempMovie" + swiftDouble(Foundation::Date::now().timeIntervalSince1970());
  auto url = folder.appendingPathComponent(stem + ".mp4");
  // Never over an earlier movie.
  for (int n = 1; Foundation::FileManager::defaultManager().fileExists(url.path()); ++n) {
    url = folder.appendingPathComponent(stem + "-" + std::to_string(n) + ".mp4");
  }
  return url;
}

void ZTCameraViewManager::fileOutput(
    AVFoundation::AVCaptureFileOutput& /*captureOutput*/, const Foundation::URL& /*fileURL*/,
    const std::vector<std::shared_ptr<AVFoundation::AVCaptureConnection>>& /*connections*/) {
  auto session = captureSession();
  if (session) session->beginConfiguration();
  if (const auto mode = flashMode(); mode != CameraFlashMode::off) _updateIlluminationMode(mode);
  if (session) session->commitConfiguration();
}

void ZTCameraViewManager::fileOutput(
    AVFoundation::AVCaptureFileOutput& /*output*/, const Foundation::URL& outputFileURL,
    const std::vector<std::shared_ptr<AVFoundation::AVCaptureConnection>>& /*connections*/,
    const std::optional<Foundation::NSError>& error) {
  bool toLibrary = false;
  {
    std::lock_guard lock(mutex_);
    recording_ = false;
    toLibrary = writeFilesToPhoneLibrary_;
  }
  if (error) {
    _show(localized("Unable to save video to the device"), error->localizedDescription());
    const bool exists = Foundation::FileManager::defaultManager().fileExists(outputFileURL.path());
    _executeVideoCompletionWithURL(exists ? std::optional(outputFileURL) : std::nullopt, error);
    return;
  }
  if (!toLibrary) {
    _executeVideoCompletionWithURL(outputFileURL, std::nullopt);
    return;
  }
  if (Photos::PHPhotoLibrary::authorizationStatus() == Photos::PHAuthorizationStatus::authorized) {
    _saveVideoToLibrary(outputFileURL);
    return;
  }
  Photos::PHPhotoLibrary::requestAuthorization(
      [weak = weak_from_this(), outputFileURL](auto status) {
        auto self = weak.lock();
        if (!self) return;
        if (status == Photos::PHAuthorizationStatus::authorized) {
          self->_saveVideoToLibrary(outputFileURL);
        } else {
          // The movie is still there; only the library said no.
          self->_executeVideoCompletionWithURL(outputFileURL, std::nullopt);
        }
      });
}

void ZTCameraViewManager::_saveVideoToLibrary(const Foundation::URL& url) {
  const auto date = Foundation::Date::now();
  auto [library, album] = libraryAndAlbum(MediaType::video);
  if (!library) {
    _executeVideoCompletionWithURL(url, std::nullopt);
    return;
  }
  ZTPHPhotoLibrary::saveVideoAtURL(
      library, url, album,
      [weak = weak_from_this(), url](const std::shared_ptr<Photos::PHAsset>&) {
        if (auto self = weak.lock()) self->_executeVideoCompletionWithURL(url, std::nullopt);
      },
      ZTPHPhotoLibrary::SaveDetails{date, nullptr});
}

std::pair<std::shared_ptr<Photos::PHPhotoLibrary>, std::optional<std::string>>
ZTCameraViewManager::libraryAndAlbum(MediaType media) const {
  std::lock_guard lock(mutex_);
  return {library_, media == MediaType::photo ? imageAlbumName_ : videoAlbumName_};
}

void ZTCameraViewManager::_executeVideoCompletionWithURL(
    const std::optional<Foundation::URL>& url, const std::optional<Foundation::NSError>& error) {
  VideoCompletion completion;
  {
    std::lock_guard lock(mutex_);
    completion = std::move(videoCompletion_);
    videoCompletion_ = nullptr;
  }
  if (completion) completion(url, error);
}

}  // namespace ZentrelSDK
