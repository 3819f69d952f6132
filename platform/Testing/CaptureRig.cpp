#include "Testing/CaptureRig.hpp"

#include <algorithm>
#include <atomic>

#include "Foundation/SystemInfo.hpp"
#include "UIKit/UIImagePickerController.hpp"

namespace PlatformTesting {

namespace {
AVFoundation::SimulatedCapture& capture() {
  return AVFoundation::SimulatedCapture::shared();
}
Photos::SimulatedLibrary& library() {
  return Photos::SimulatedLibrary::shared();
}
std::atomic<bool> libraryAvailable{true};
}  // namespace

void CaptureRig::reset() {
  capture().reset();
  library().reset();
  UIKit::SimulatedDevice::reset();
  Foundation::setSimulatedHardwareIdentifier(std::nullopt);
  libraryAvailable = true;
  // The picker's camera is there when the simulated hardware has a camera.
  UIKit::UIImagePickerController::setAvailability([](auto source) {
    using Source = UIKit::UIImagePickerController::SourceType;
    if (source == Source::camera)
      return AVFoundation::AVCaptureDevice::defaultDevice(AVFoundation::AVMediaType::video) !=
             nullptr;
    return libraryAvailable.load();
  });
}

void CaptureRig::setLibraryAvailable(bool available) {
  libraryAvailable = available;
}

void CaptureRig::setDevices(const std::vector<DeviceSpec>& devices) {
  capture().setDevices(devices);
  // The image picker sees the same cameras.
  auto has = [&](Position position) {
    return std::any_of(devices.begin(), devices.end(), [&](const DeviceSpec& d) {
      return d.type == AVFoundation::AVCaptureDevice::DeviceType::builtInWideAngleCamera &&
             d.position == position;
    });
  };
  UIKit::SimulatedDevice::rearCameraAvailable = has(Position::back);
  UIKit::SimulatedDevice::frontCameraAvailable = has(Position::front);
}

CaptureRig::DeviceSpec CaptureRig::backCamera() {
  return AVFoundation::SimulatedCapture::backCamera();
}

CaptureRig::DeviceSpec CaptureRig::frontCamera() {
  return AVFoundation::SimulatedCapture::frontCamera();
}

CaptureRig::DeviceSpec CaptureRig::microphone() {
  return AVFoundation::SimulatedCapture::microphone();
}

void CaptureRig::failLocks(Position position, int count) {
  capture().failLocks(position, count);
}

void CaptureRig::failInputs(int count) {
  capture().failInputs(count);
}

void CaptureRig::setCameraPermission(AVFoundation::AVAuthorizationStatus status, bool grants,
                                     double delay) {
  capture().setPermission(AVFoundation::AVMediaType::video, status, grants, delay);
}

void CaptureRig::setMicrophonePermission(AVFoundation::AVAuthorizationStatus status, bool grants,
                                         double delay) {
  capture().setPermission(AVFoundation::AVMediaType::audio, status, grants, delay);
}

void CaptureRig::setLibraryPermission(Photos::PHAuthorizationStatus status,
                                      Photos::PHAuthorizationStatus answer, double delay) {
  library().setPermission(status, answer, delay);
}

int CaptureRig::cameraPrompts() {
  return capture().permission(AVFoundation::AVMediaType::video).prompts;
}

int CaptureRig::microphonePrompts() {
  return capture().permission(AVFoundation::AVMediaType::audio).prompts;
}

int CaptureRig::libraryPrompts() {
  return library().permission().prompts;
}

void CaptureRig::setAcceptedPresets(std::set<Preset> presets) {
  capture().setAcceptedPresets(std::move(presets));
}

void CaptureRig::setCanAddInputs(bool can) {
  capture().setCanAddInputs(can);
}

void CaptureRig::setCanAddOutputs(bool can) {
  capture().setCanAddOutputs(can);
}

std::vector<std::string> CaptureRig::configurationLog() {
  return capture().configurationLog();
}

void CaptureRig::delayCommits(double delay, int count) {
  capture().delayCommits(delay, count);
}

int CaptureRig::waitingCommits() {
  return capture().waitingCommits();
}

Foundation::Result<void, Foundation::NSError> CaptureRig::setFrameFiles(
    const std::vector<std::string>& paths) {
  return capture().setFrameFiles(paths);
}

void CaptureRig::useGeneratedFrames() {
  (void)capture().setFrameFiles({});
}

std::optional<CaptureRig::PatternMark> CaptureRig::readPattern(const CoreGraphics::CGImage& image) {
  return AVFoundation::SimulatedCapture::readPattern(image);
}

void CaptureRig::injectPhotoFault(PhotoFault fault, double delay) {
  capture().addPhotoFault({fault, delay});
}

std::size_t CaptureRig::waitingPhotoFaults() {
  return capture().waitingPhotoFaults();
}

void CaptureRig::setMovieBytesPerSecond(std::int64_t bytes) {
  capture().setMovieBytesPerSecond(bytes);
}

void CaptureRig::failNextRecordingEnd(Foundation::NSError error) {
  capture().failNextRecordingEnd(std::move(error));
}

int CaptureRig::stopRecordingsUnasked() {
  return capture().endRecordingsUnasked(AVFoundation::avError(
      AVFoundation::AVErrorMaximumDurationReached, "Recording stopped by the system"));
}

std::string CaptureRig::libraryRoot() {
  return library().root();
}

void CaptureRig::setLibraryRoot(const std::string& path) {
  library().setRoot(path);
}

void CaptureRig::failLibraryChanges(int count) {
  library().failChanges(count);
}

void CaptureRig::setMissingLibraryRequests(MissingRequests missing) {
  library().setMissing(missing);
}

std::vector<Photos::SimulatedLibrary::AlbumRecord> CaptureRig::albums() {
  return library().albums();
}

std::optional<Photos::SimulatedLibrary::AssetRecord> CaptureRig::asset(const std::string& id) {
  return library().asset(id);
}

void CaptureRig::setDeviceOrientation(UIKit::UIDeviceOrientation orientation) {
  UIKit::SimulatedDevice::orientation = orientation;
}

void CaptureRig::setStatusBarOrientation(UIKit::UIInterfaceOrientation orientation) {
  UIKit::SimulatedDevice::statusBarOrientation = orientation;
}

void CaptureRig::setSnapshotsAvailable(bool available) {
  UIKit::SimulatedDevice::snapshotsAvailable = available;
}

void CaptureRig::setHardwareIdentifier(std::optional<std::string> identifier) {
  Foundation::setSimulatedHardwareIdentifier(std::move(identifier));
}

}  // namespace PlatformTesting
