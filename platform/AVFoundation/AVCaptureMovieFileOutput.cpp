#include "AVFoundation/AVCaptureMovieFileOutput.hpp"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "AVFoundation/AVCaptureSession.hpp"
#include "AVFoundation/SimulatedCapture.hpp"
#include "Dispatch/DispatchQueue.hpp"
#include "Foundation/Clock.hpp"
#include "Foundation/Data.hpp"

namespace AVFoundation {

namespace {
// A QuickTime file-type box, so the placeholder starts like a movie.
const Foundation::Data kHeader{0,   0,   0, 0x14, 'f', 't', 'y', 'p', 'q', 't',
                               ' ', ' ', 0, 0,    0,   0,   'q', 't', ' ', ' '};

Dispatch::DispatchQueue& callbacks() {
  return Dispatch::DispatchQueue::global(Dispatch::QoS::UserInitiated);
}
}  // namespace

CoreMedia::CMTime AVCaptureMovieFileOutput::movieFragmentInterval() const {
  std::lock_guard lock(mutex_);
  return fragmentInterval_;
}

void AVCaptureMovieFileOutput::setMovieFragmentInterval(CoreMedia::CMTime interval) {
  std::lock_guard lock(mutex_);
  fragmentInterval_ = interval;
}

std::int64_t AVCaptureMovieFileOutput::sizeAt(const Recording& recording,
                                              Foundation::TimeInterval now) const {
  const double seconds = std::max(0.0, now - recording.start);
  return static_cast<std::int64_t>(kHeader.size()) +
         static_cast<std::int64_t>(
             std::floor(seconds * static_cast<double>(recording.bytesPerSecond)));
}

bool AVCaptureMovieFileOutput::startRecording(
    const Foundation::URL& outputFileURL,
    std::shared_ptr<AVCaptureFileOutputRecordingDelegate> delegate) {
  auto self = std::static_pointer_cast<AVCaptureMovieFileOutput>(shared_from_this());
  auto fail = [&](Foundation::NSError error) {
    callbacks().async([self, delegate, outputFileURL, error, connections = connections()] {
      if (delegate) delegate->fileOutput(*self, outputFileURL, connections, error);
    });
    return false;
  };
  {
    std::lock_guard lock(mutex_);
    if (recording_) return false;
  }
  const auto owner = session();
  const auto video = connection(AVMediaType::video);
  if (!owner || !owner->isRunning() || !video || !video->isActive())
    return fail(avError(AVErrorSessionNotRunning, "No active and enabled video connection"));
  if (auto written = Foundation::writeData(kHeader, outputFileURL); !written)
    return fail(Foundation::NSError(
        Foundation::CocoaError::domain, static_cast<int>(written.error().code),
        {{Foundation::NSLocalizedDescriptionKey, written.error().localizedDescription()}}));
  {
    std::lock_guard lock(mutex_);
    if (recording_) return false;
    recording_ = Recording{outputFileURL, delegate, Foundation::Clock::current().now(),
                           SimulatedCapture::shared().movieBytesPerSecond()};
    lastURL_ = outputFileURL;
  }
  SimulatedCapture::shared().registerRecording(self);
  callbacks().async([self, delegate, outputFileURL, connections = connections()] {
    if (delegate) delegate->fileOutput(*self, outputFileURL, connections);
  });
  return true;
}

void AVCaptureMovieFileOutput::stopRecording() {
  finish(SimulatedCapture::shared().takeRecordingEndError());
}

void AVCaptureMovieFileOutput::endUnasked(const Foundation::NSError& error) {
  finish(error);
}

void AVCaptureMovieFileOutput::finish(std::optional<Foundation::NSError> error) {
  std::optional<Recording> ended;
  {
    std::lock_guard lock(mutex_);
    if (!recording_) return;
    std::error_code ec;
    std::filesystem::resize_file(
        recording_->url.path(),
        static_cast<std::uintmax_t>(sizeAt(*recording_, Foundation::Clock::current().now())), ec);
    ended = std::move(recording_);
    recording_.reset();
  }
  auto self = std::static_pointer_cast<AVCaptureMovieFileOutput>(shared_from_this());
  callbacks().async([self, ended = std::move(*ended), error, connections = connections()] {
    if (ended.delegate) ended.delegate->fileOutput(*self, ended.url, connections, error);
  });
}

bool AVCaptureMovieFileOutput::isRecording() const {
  std::lock_guard lock(mutex_);
  return recording_.has_value();
}

std::optional<Foundation::URL> AVCaptureMovieFileOutput::outputFileURL() const {
  std::lock_guard lock(mutex_);
  return lastURL_;
}

CoreMedia::CMTime AVCaptureMovieFileOutput::recordedDuration() const {
  std::lock_guard lock(mutex_);
  if (!recording_) return CoreMedia::kCMTimeZero;
  return CoreMedia::CMTimeMakeWithSeconds(
      std::max(0.0, Foundation::Clock::current().now() - recording_->start), 600);
}

std::int64_t AVCaptureMovieFileOutput::recordedFileSize() const {
  std::lock_guard lock(mutex_);
  if (!recording_) return 0;
  const auto size = sizeAt(*recording_, Foundation::Clock::current().now());
  std::error_code ec;
  std::filesystem::resize_file(recording_->url.path(), static_cast<std::uintmax_t>(size), ec);
  return size;
}

}  // namespace AVFoundation
