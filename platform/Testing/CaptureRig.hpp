#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "AVFoundation/AVCaptureDevice.hpp"
#include "AVFoundation/AVCaptureSession.hpp"
#include "AVFoundation/SimulatedCapture.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "Foundation/NSError.hpp"
#include "Foundation/Result.hpp"
#include "Photos/PHTypes.hpp"
#include "Photos/SimulatedLibrary.hpp"
#include "UIKit/UIDevice.hpp"

namespace PlatformTesting {

// The simulated camera, microphone and photo library of the process, as a test or host sets
// them; call reset() at the start of each test. Every callback of the simulated hardware
// comes on a platform thread, never on the caller's queue; delays run on the process clock.
class CaptureRig {
 public:
  using Position = AVFoundation::AVCaptureDevice::Position;
  using DeviceSpec = AVFoundation::AVCaptureDevice::Hardware;
  using Preset = AVFoundation::AVCaptureSession::Preset;
  using PhotoFault = AVFoundation::SimulatedCapture::PhotoFault;
  using PatternMark = AVFoundation::SimulatedCapture::PatternMark;
  using MissingRequests = Photos::SimulatedLibrary::Missing;

  // A back camera with flash and torch, a front camera without, a microphone; camera,
  // microphone and library not determined and granted when asked, at once; the image
  // picker's sources answered from these devices and the library knob; every preset
  // accepted and everything addable; the generated pattern from frame 0; no faults or delays; a
  // new, empty library in a temporary folder; the configuration log cleared.
  static void reset();

  // Devices and their abilities; new device objects each time.
  static void setDevices(const std::vector<DeviceSpec>& devices);
  static DeviceSpec backCamera();
  static DeviceSpec frontCamera();
  static DeviceSpec microphone();
  // The next `count` configuration locks of the camera at `position` fail.
  static void failLocks(Position position, int count = 1);
  // The next `count` device inputs fail to open.
  static void failInputs(int count = 1);

  // Permissions: the status now, and the answer (after `delay`) when the owner is asked.
  static void setCameraPermission(AVFoundation::AVAuthorizationStatus status, bool grants = true,
                                  double delay = 0);
  static void setMicrophonePermission(AVFoundation::AVAuthorizationStatus status,
                                      bool grants = true, double delay = 0);
  static void setLibraryPermission(
      Photos::PHAuthorizationStatus status,
      Photos::PHAuthorizationStatus answer = Photos::PHAuthorizationStatus::authorized,
      double delay = 0);
  static int cameraPrompts();
  static int microphonePrompts();
  static int libraryPrompts();

  // Session.
  static void setAcceptedPresets(std::set<Preset> presets);
  static void setCanAddInputs(bool can);
  static void setCanAddOutputs(bool can);
  // What reached the hardware: "begin", "preset High", "add input Back Camera",
  // "add photo output", "commit", "start", "stop", ...
  static std::vector<std::string> configurationLog();
  // The next `count` committed configurations wait `delay` on the clock before they reach the
  // hardware, holding the thread that commits (so never the one that moves the clock); how
  // many wait now.
  static void delayCommits(double delay, int count = 1);
  static int waitingCommits();

  // Frames: JPEG files cycled (a file that is not a readable JPEG is refused, and nothing
  // changes), or the generated pattern sized by the active preset (Photo 4032×3024, High
  // 1920×1080, Medium 640×480, Low 192×144) whose frame number reads back after decoding.
  static Foundation::Result<void, Foundation::NSError> setFrameFiles(
      const std::vector<std::string>& paths);
  static void useGeneratedFrames();
  static std::optional<PatternMark> readPattern(const CoreGraphics::CGImage& image);

  // Photo faults, each for one photo, in the order given. `late` waits `delay` on the clock.
  static void injectPhotoFault(PhotoFault fault, double delay = 0);
  // How many of them no photo has taken yet: a photo takes its fault as it reaches the
  // hardware.
  static std::size_t waitingPhotoFaults();

  // Movies: the placeholder grows by `bytes` per second of the clock.
  static void setMovieBytesPerSecond(std::int64_t bytes);
  static void failNextRecordingEnd(Foundation::NSError error);
  // Ends every running recording as the platform does by itself; how many there were.
  static int stopRecordingsUnasked();

  // Library.
  // Whether the image picker offers its photo-library source (true after reset); its camera
  // source follows the devices.
  static void setLibraryAvailable(bool available);
  static std::string libraryRoot();
  // Keeps the library in `path` from now on (made when missing).
  static void setLibraryRoot(const std::string& path);
  static void failLibraryChanges(int count = 1);
  static void setMissingLibraryRequests(MissingRequests missing);
  static std::vector<Photos::SimulatedLibrary::AlbumRecord> albums();
  static std::optional<Photos::SimulatedLibrary::AssetRecord> asset(const std::string& id);

  // The device around the cameras (reset: portrait, both cameras seen by the image picker as
  // the devices say, snapshots given, the host's own hardware identifier).
  static void setDeviceOrientation(UIKit::UIDeviceOrientation orientation);
  static void setStatusBarOrientation(UIKit::UIInterfaceOrientation orientation);
  // Whether views give snapshots (UIView::snapshotView).
  static void setSnapshotsAvailable(bool available);
  // The hardware model identifier `uname` reports, such as "iPad2,1".
  static void setHardwareIdentifier(std::optional<std::string> identifier);
};

}  // namespace PlatformTesting
