#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "AVFoundation/AVCaptureDevice.hpp"
#include "AVFoundation/AVCaptureSession.hpp"
#include "AVFoundation/AVTypes.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "Foundation/Clock.hpp"
#include "Foundation/Data.hpp"
#include "Foundation/NSError.hpp"
#include "Foundation/Result.hpp"

namespace AVFoundation {

class AVCaptureMovieFileOutput;

// The one simulated capture hardware of the process: its cameras and microphone, the owner's
// answers to the permission prompts, what the session accepts, the frames the sensor sees and
// the faults to inject. Tests and hosts drive it through PlatformTesting::CaptureRig; the
// AVFoundation classes read it. Thread-safe.
class SimulatedCapture {
 public:
  struct Permission {
    AVAuthorizationStatus status = AVAuthorizationStatus::notDetermined;
    bool grants = true;                  // the owner's answer when asked
    Foundation::TimeInterval delay = 0;  // on the process clock before the answer comes
    int prompts = 0;                     // how often the owner was asked
    bool asking = false;                 // a prompt is up
  };
  enum class PhotoFault { error, noData, nonImageData, late, never, twice };
  struct PhotoFaultSpec {
    PhotoFault fault = PhotoFault::error;
    Foundation::TimeInterval delay = 0;  // for `late`, on the process clock
  };
  // One frame the sensor delivers: file bytes, or the pattern of a frame number at a size.
  struct Frame {
    std::uint32_t number = 0;
    std::shared_ptr<const Foundation::Data> jpeg;  // shared with the rig, no copy
    std::size_t width = 0;
    std::size_t height = 0;
  };
  struct PatternMark {
    std::uint32_t number = 0;
    bool mirrored = false;
  };

  static SimulatedCapture& shared();

  // The devices a reset installs.
  static AVCaptureDevice::Hardware backCamera();
  static AVCaptureDevice::Hardware frontCamera();
  static AVCaptureDevice::Hardware microphone();

  // Devices. Each reset or setDevices() makes new device objects.
  void setDevices(const std::vector<AVCaptureDevice::Hardware>& hardwareList);
  std::vector<std::shared_ptr<AVCaptureDevice>> devices() const;
  // The next `count` configuration locks of the device at `position` fail.
  void failLocks(AVCaptureDevice::Position position, int count);
  std::optional<Foundation::NSError> takeLockFailure(AVCaptureDevice::Position position);
  // The next `count` device inputs fail to open.
  void failInputs(int count);
  std::optional<Foundation::NSError> takeInputFailure();

  // Permissions per media type (video, audio).
  Permission permission(AVMediaType type) const;
  void setPermission(AVMediaType type, AVAuthorizationStatus status, bool grants = true,
                     Foundation::TimeInterval delay = 0);
  // Shows the prompt when the status is not determined (once while it is up); the answer
  // and the delay before it, or the current status at once.
  std::pair<bool, Foundation::TimeInterval> prompt(AVMediaType type);
  // The owner has answered: a status still not determined moves to the answer.
  void settle(AVMediaType type, bool granted);

  // Session.
  void setAcceptedPresets(std::set<AVCaptureSession::Preset> presets);
  bool acceptsPreset(AVCaptureSession::Preset preset) const;
  void setCanAddInputs(bool can);
  void setCanAddOutputs(bool can);
  bool canAddInputs() const;
  bool canAddOutputs() const;
  void log(std::string action);
  std::vector<std::string> configurationLog() const;
  // The next `count` outermost commits wait `delay` on the process clock before they reach
  // the hardware; awaitCommit() is that wait, on the committing thread.
  void delayCommits(Foundation::TimeInterval delay, int count);
  void awaitCommit();
  int waitingCommits() const;

  // Frames: JPEG files cycled in order, refusing a file that is not a readable JPEG; an empty
  // list goes back to the generated pattern.
  Foundation::Result<void, Foundation::NSError> setFrameFiles(
      const std::vector<std::string>& paths);
  Frame nextFrame(AVCaptureSession::Preset preset);

  // Photo faults, each used by one photo, in order.
  void addPhotoFault(PhotoFaultSpec fault);
  std::optional<PhotoFaultSpec> takePhotoFault();
  // The faults no photo has taken yet.
  std::size_t waitingPhotoFaults() const;

  // Movies.
  void setMovieBytesPerSecond(std::int64_t bytes);
  std::int64_t movieBytesPerSecond() const;
  void failNextRecordingEnd(Foundation::NSError error);
  std::optional<Foundation::NSError> takeRecordingEndError();
  void registerRecording(const std::shared_ptr<AVCaptureMovieFileOutput>& output);
  // Ends every running recording as the platform would by itself, with `error`.
  int endRecordingsUnasked(const Foundation::NSError& error);

  // The generated pattern: a band of cells holding the frame number, readable after JPEG.
  static std::shared_ptr<const CoreGraphics::CGImage> pattern(std::uint32_t number,
                                                              std::size_t width,
                                                              std::size_t height);
  static std::optional<PatternMark> readPattern(const CoreGraphics::CGImage& image);

  // Back to the start: a back camera with flash and torch, a front camera, a microphone;
  // permissions not determined and granted when asked, without delay; every preset accepted;
  // inputs and outputs addable; no faults; the pattern; the frame count and the log cleared.
  void reset();

 private:
  SimulatedCapture();
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<AVCaptureDevice>> devices_;
  std::map<AVCaptureDevice::Position, int> lockFailures_;
  int inputFailures_ = 0;
  std::map<AVMediaType, Permission> permissions_;
  std::set<AVCaptureSession::Preset> presets_;
  bool canAddInputs_ = true;
  bool canAddOutputs_ = true;
  std::vector<std::string> log_;
  int delayedCommits_ = 0;
  Foundation::TimeInterval commitDelay_ = 0;
  int waitingCommits_ = 0;
  std::vector<std::shared_ptr<const Foundation::Data>> frameFiles_;
  std::uint32_t frameCount_ = 0;
  std::deque<PhotoFaultSpec> photoFaults_;
  std::int64_t movieBytesPerSecond_ = 0;
  std::optional<Foundation::NSError> recordingEndError_;
  std::vector<std::weak_ptr<AVCaptureMovieFileOutput>> recordings_;
};

}  // namespace AVFoundation
