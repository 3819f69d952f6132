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

// Movies: the movie output, recording into a temporary file, and a completion that runs
// exactly once.

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

using Values = CameraSettingValues;

void ZTCameraViewManager::startRecordingVideo() {
  parts_->recording.start();
}

void ZTCameraViewManager::stopVideoRecording(VideoCompletion completion) {
  parts_->recording.stop(std::move(completion));
}

std::shared_ptr<AVFoundation::AVCaptureMovieFileOutput> ZTCameraViewManager::Recording::output()
    const {
  std::lock_guard lock(mutex_);
  return movieOutput_;
}

std::shared_ptr<AVFoundation::AVCaptureMovieFileOutput>
ZTCameraViewManager::Recording::makeOutput() {
  return installOutput().first;
}

std::pair<std::shared_ptr<AVFoundation::AVCaptureMovieFileOutput>, bool>
ZTCameraViewManager::Recording::installOutput() {
  if (auto current = output()) return {current, false};
  // Made outside the lock; of two made at once, the first installed is kept.
  auto made = AVFoundation::AVCaptureMovieFileOutput::make();
  made->setMovieFragmentInterval(CoreMedia::kCMTimeInvalid);
  std::lock_guard lock(mutex_);
  if (movieOutput_) return {movieOutput_, false};
  movieOutput_ = made;
  return {made, true};
}

std::shared_ptr<AVFoundation::AVCaptureMovieFileOutput>
ZTCameraViewManager::Recording::_getMovieOutput() {
  auto [created, isNew] = installOutput();
  if (!isNew) return created;
  auto session = parts_.session.captureSession();
  if (session && session->canAddOutput(created)) {
    session->beginConfiguration();
    session->addOutput(created);
    session->commitConfiguration();
  }
  return created;
}

void ZTCameraViewManager::Recording::remove() {
  std::lock_guard lock(mutex_);
  movieOutput_.reset();
  metadataInput_.reset();
}

void ZTCameraViewManager::Recording::start() {
  const auto& settings = parts_.settings;
  if (settings.get(&Values::cameraOutputMode) == CameraOutputMode::stillImage) {
    parts_.show(localized("Capture session output still image"),
                localized("I can only take pictures"));
    return;
  }
  auto movie = _getMovieOutput();
  if (movie->isRecording()) return;  // one recording at a time
  const bool mirror = settings.mirrorsFrontCamera();
  const auto stabilisation = settings.get(&Values::videoStabilisationMode);
  const auto session = parts_.session.captureSession();
  std::shared_ptr<AVFoundation::AVCaptureInput> metadata;
  {
    std::lock_guard lock(mutex_);
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
  parts_.flip._updateIlluminationMode(settings.get(&Values::flashMode));
  {
    std::lock_guard lock(mutex_);
    recording_ = true;
  }
  // A start that fails still ends through the finished callback, with its error.
  movie->startRecording(_tempFilePath(), std::make_shared<CameraCallbackForwarder>(parts_.weak()));
}

void ZTCameraViewManager::Recording::stop(VideoCompletion completion) {
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

Foundation::URL ZTCameraViewManager::Recording::_tempFilePath() const {
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
  parts_->recording.didStart();
}

void ZTCameraViewManager::Recording::didStart() {
  auto session = parts_.session.captureSession();
  if (session) session->beginConfiguration();
  if (const auto mode = parts_.settings.get(&Values::flashMode); mode != CameraFlashMode::off) {
    parts_.flip._updateIlluminationMode(mode);
  }
  if (session) session->commitConfiguration();
}

void ZTCameraViewManager::fileOutput(
    AVFoundation::AVCaptureFileOutput& /*output*/, const Foundation::URL& outputFileURL,
    const std::vector<std::shared_ptr<AVFoundation::AVCaptureConnection>>& /*connections*/,
    const std::optional<Foundation::NSError>& error) {
  parts_->recording.didFinish(outputFileURL, error);
}

void ZTCameraViewManager::Recording::didFinish(const Foundation::URL& outputFileURL,
                                               const std::optional<Foundation::NSError>& error) {
  {
    std::lock_guard lock(mutex_);
    recording_ = false;
  }
  const bool toLibrary = parts_.settings.get(&Values::writeFilesToPhoneLibrary);
  if (error) {
    parts_.show(localized("Unable to save video to the device"), error->localizedDescription());
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
  Photos::PHPhotoLibrary::requestAuthorization([weak = parts_.weak(), outputFileURL](auto status) {
    auto self = weak.lock();
    if (!self) return;
    auto& recording = Parts::of(*self).recording;
    if (status == Photos::PHAuthorizationStatus::authorized) {
      recording._saveVideoToLibrary(outputFileURL);
    } else {
      // The movie is still there; only the library said no.
      recording._executeVideoCompletionWithURL(outputFileURL, std::nullopt);
    }
  });
}

void ZTCameraViewManager::Recording::_saveVideoToLibrary(const Foundation::URL& url) {
  const auto date = Foundation::Date::now();
  auto [library, album] = parts_.libraryAndAlbum(MediaType::video);
  if (!library) {
    _executeVideoCompletionWithURL(url, std::nullopt);
    return;
  }
  ZTPHPhotoLibrary::saveVideoAtURL(
      library, url, album,
      [weak = parts_.weak(), url](const std::shared_ptr<Photos::PHAsset>&) {
        if (auto self = weak.lock()) {
          Parts::of(*self).recording._executeVideoCompletionWithURL(url, std::nullopt);
        }
      },
      ZTPHPhotoLibrary::SaveDetails{date, nullptr});
}

void ZTCameraViewManager::Recording::_executeVideoCompletionWithURL(
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
