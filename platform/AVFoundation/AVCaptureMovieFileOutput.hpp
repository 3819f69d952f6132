#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "AVFoundation/AVCaptureOutput.hpp"
#include "CoreMedia/CMTime.hpp"
#include "Foundation/Clock.hpp"
#include "Foundation/NSError.hpp"
#include "Foundation/URL.hpp"

namespace AVFoundation {

class AVCaptureFileOutput;

// Swift's AVCaptureFileOutputRecordingDelegate. Called on a platform thread.
class AVCaptureFileOutputRecordingDelegate {
 public:
  virtual ~AVCaptureFileOutputRecordingDelegate() = default;
  virtual void fileOutput(AVCaptureFileOutput& output, const Foundation::URL& fileURL,
                          const std::vector<std::shared_ptr<AVCaptureConnection>>& connections) {
    (void)output, (void)fileURL, (void)connections;
  }
  virtual void fileOutput(AVCaptureFileOutput& output, const Foundation::URL& outputFileURL,
                          const std::vector<std::shared_ptr<AVCaptureConnection>>& connections,
                          const std::optional<Foundation::NSError>& error) = 0;
};

// Swift's AVCaptureFileOutput.
class AVCaptureFileOutput : public AVCaptureOutput {};

// Swift's AVCaptureMovieFileOutput. A recording writes a placeholder movie file that grows
// with the process clock at the simulated rate; its size and duration follow the clock.
// Thread-safe.
class AVCaptureMovieFileOutput : public AVCaptureFileOutput {
 public:
  static std::shared_ptr<AVCaptureMovieFileOutput> make() {
    return std::make_shared<AVCaptureMovieFileOutput>();
  }

  bool accepts(AVMediaType mediaType) const override {
    return mediaType == AVMediaType::video || mediaType == AVMediaType::audio ||
           mediaType == AVMediaType::metadata;
  }
  const char* kind() const override { return "movie file output"; }

  CoreMedia::CMTime movieFragmentInterval() const;
  void setMovieFragmentInterval(CoreMedia::CMTime interval);

  // Starts into a new file; the delegate hears the start and, once, the end. Without a
  // running session and an active video connection, or when the file cannot be made, the
  // end comes at once with the error. A second start while recording is refused (false).
  bool startRecording(const Foundation::URL& outputFileURL,
                      std::shared_ptr<AVCaptureFileOutputRecordingDelegate> delegate);
  void stopRecording();
  bool isRecording() const;
  std::optional<Foundation::URL> outputFileURL() const;
  CoreMedia::CMTime recordedDuration() const;
  // Grows the file to its size at the current time, and returns that size.
  std::int64_t recordedFileSize() const;

  // The platform ends the recording by itself, with this error (see SimulatedCapture).
  void endUnasked(const Foundation::NSError& error);

 private:
  struct Recording {
    Foundation::URL url;
    std::shared_ptr<AVCaptureFileOutputRecordingDelegate> delegate;
    Foundation::TimeInterval start = 0;
    std::int64_t bytesPerSecond = 0;
  };
  std::int64_t sizeAt(const Recording& recording, Foundation::TimeInterval now) const;
  void finish(std::optional<Foundation::NSError> error);

  mutable std::mutex mutex_;
  CoreMedia::CMTime fragmentInterval_ = CoreMedia::CMTimeMakeWithSeconds(10, 1);
  std::optional<Recording> recording_;
  std::optional<Foundation::URL> lastURL_;
};

}  // namespace AVFoundation
