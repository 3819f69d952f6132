#include "AVFoundation/SimulatedCapture.hpp"

#include <algorithm>
#include <cstring>

#include "AVFoundation/AVCaptureMovieFileOutput.hpp"
#include "Dispatch/DispatchQueue.hpp"
#include "Dispatch/DispatchSemaphore.hpp"
#include "Foundation/UUID.hpp"
#include "ImageIO/CGImageSource.hpp"

namespace AVFoundation {

namespace {
using Position = AVCaptureDevice::Position;

// The pattern: the top quarter holds kCells cells; the first is white, the last black, and
// the 16 between them are the frame number's bits, most significant first, white for 1.
// A mirrored picture shows the markers swapped.
constexpr std::size_t kCells = 18;
constexpr std::size_t kBits = 16;
constexpr std::uint8_t kGrey = 128;
}  // namespace

AVCaptureDevice::Hardware SimulatedCapture::backCamera() {
  return AVCaptureDevice::Hardware{};
}

AVCaptureDevice::Hardware SimulatedCapture::frontCamera() {
  AVCaptureDevice::Hardware front;
  front.position = Position::front;
  front.name = "Front Camera";
  front.hasFlash = false;
  front.hasTorch = false;
  front.focusModes = {AVCaptureDevice::FocusMode::locked};
  front.focusPointOfInterestSupported = false;
  front.format.videoMaxZoomFactor = 4;
  return front;
}

AVCaptureDevice::Hardware SimulatedCapture::microphone() {
  AVCaptureDevice::Hardware mic;
  mic.type = AVCaptureDevice::DeviceType::builtInMicrophone;
  mic.position = Position::unspecified;
  mic.name = "iPhone Microphone";
  mic.hasFlash = mic.hasTorch = false;
  mic.focusModes = {};
  mic.exposureModes = {};
  mic.focusPointOfInterestSupported = mic.exposurePointOfInterestSupported = false;
  return mic;
}

SimulatedCapture& SimulatedCapture::shared() {
  static auto* capture = new SimulatedCapture;
  return *capture;
}

SimulatedCapture::SimulatedCapture() {
  reset();
}

void SimulatedCapture::reset() {
  std::vector<std::shared_ptr<AVCaptureMovieFileOutput>> running;
  {
    std::lock_guard lock(mutex_);
    lockFailures_.clear();
    inputFailures_ = 0;
    permissions_ = {{AVMediaType::video, Permission{}}, {AVMediaType::audio, Permission{}}};
    presets_ = {AVCaptureSession::Preset::low, AVCaptureSession::Preset::medium,
                AVCaptureSession::Preset::high, AVCaptureSession::Preset::photo};
    canAddInputs_ = canAddOutputs_ = true;
    log_.clear();
    delayedCommits_ = 0;
    frameFiles_.clear();
    frameCount_ = 0;
    photoFaults_.clear();
    movieBytesPerSecond_ = 250000;
    recordingEndError_.reset();
    recordings_.clear();
  }
  setDevices({backCamera(), frontCamera(), microphone()});
}

void SimulatedCapture::setDevices(const std::vector<AVCaptureDevice::Hardware>& hardwareList) {
  std::vector<std::shared_ptr<AVCaptureDevice>> devices;
  for (const auto& hardware : hardwareList)
    devices.push_back(std::make_shared<AVCaptureDevice>(hardware, Foundation::UUID().uuidString()));
  std::lock_guard lock(mutex_);
  devices_ = std::move(devices);
}

std::vector<std::shared_ptr<AVCaptureDevice>> SimulatedCapture::devices() const {
  std::lock_guard lock(mutex_);
  return devices_;
}

void SimulatedCapture::failLocks(Position position, int count) {
  std::lock_guard lock(mutex_);
  lockFailures_[position] = std::max(0, count);
}

std::optional<Foundation::NSError> SimulatedCapture::takeLockFailure(Position position) {
  std::lock_guard lock(mutex_);
  auto it = lockFailures_.find(position);
  if (it == lockFailures_.end() || it->second == 0) return std::nullopt;
  --it->second;
  return avError(AVErrorDeviceLockedForConfigurationByAnotherProcess,
                 "Cannot lock the device for configuration");
}

void SimulatedCapture::failInputs(int count) {
  std::lock_guard lock(mutex_);
  inputFailures_ = std::max(0, count);
}

std::optional<Foundation::NSError> SimulatedCapture::takeInputFailure() {
  std::lock_guard lock(mutex_);
  if (inputFailures_ == 0) return std::nullopt;
  --inputFailures_;
  return avError(AVErrorDeviceNotConnected, "Cannot use the capture device");
}

void SimulatedCapture::delayCommits(Foundation::TimeInterval delay, int count) {
  std::lock_guard lock(mutex_);
  commitDelay_ = std::max(0.0, delay);
  delayedCommits_ = std::max(0, count);
}

void SimulatedCapture::awaitCommit() {
  Foundation::TimeInterval delay = 0;
  {
    std::lock_guard lock(mutex_);
    if (delayedCommits_ == 0) return;
    --delayedCommits_;
    delay = commitDelay_;
    ++waitingCommits_;
  }
  auto done = std::make_shared<Dispatch::DispatchSemaphore>(0);
  Dispatch::DispatchQueue::global(Dispatch::QoS::UserInitiated).asyncAfter(delay, [done] {
    done->signal();
  });
  done->wait();
  std::lock_guard lock(mutex_);
  --waitingCommits_;
}

int SimulatedCapture::waitingCommits() const {
  std::lock_guard lock(mutex_);
  return waitingCommits_;
}

SimulatedCapture::Permission SimulatedCapture::permission(AVMediaType type) const {
  std::lock_guard lock(mutex_);
  auto it = permissions_.find(type);
  return it == permissions_.end() ? Permission{AVAuthorizationStatus::authorized} : it->second;
}

void SimulatedCapture::setPermission(AVMediaType type, AVAuthorizationStatus status, bool grants,
                                     Foundation::TimeInterval delay) {
  std::lock_guard lock(mutex_);
  auto& permission = permissions_[type];
  permission.status = status;
  permission.grants = grants;
  permission.delay = std::max(0.0, delay);
}

std::pair<bool, Foundation::TimeInterval> SimulatedCapture::prompt(AVMediaType type) {
  std::lock_guard lock(mutex_);
  auto& permission = permissions_[type];
  if (permission.status != AVAuthorizationStatus::notDetermined)
    return {permission.status == AVAuthorizationStatus::authorized, 0};
  if (!permission.asking) ++permission.prompts;
  permission.asking = true;
  return {permission.grants, permission.delay};
}

void SimulatedCapture::settle(AVMediaType type, bool granted) {
  std::lock_guard lock(mutex_);
  auto& permission = permissions_[type];
  permission.asking = false;
  if (permission.status == AVAuthorizationStatus::notDetermined)
    permission.status = granted ? AVAuthorizationStatus::authorized : AVAuthorizationStatus::denied;
}

void SimulatedCapture::setAcceptedPresets(std::set<AVCaptureSession::Preset> presets) {
  std::lock_guard lock(mutex_);
  presets_ = std::move(presets);
}

bool SimulatedCapture::acceptsPreset(AVCaptureSession::Preset preset) const {
  std::lock_guard lock(mutex_);
  return presets_.count(preset) != 0;
}

void SimulatedCapture::setCanAddInputs(bool can) {
  std::lock_guard lock(mutex_);
  canAddInputs_ = can;
}

void SimulatedCapture::setCanAddOutputs(bool can) {
  std::lock_guard lock(mutex_);
  canAddOutputs_ = can;
}

bool SimulatedCapture::canAddInputs() const {
  std::lock_guard lock(mutex_);
  return canAddInputs_;
}

bool SimulatedCapture::canAddOutputs() const {
  std::lock_guard lock(mutex_);
  return canAddOutputs_;
}

void SimulatedCapture::log(std::string action) {
  std::lock_guard lock(mutex_);
  log_.push_back(std::move(action));
}

std::vector<std::string> SimulatedCapture::configurationLog() const {
  std::lock_guard lock(mutex_);
  return log_;
}

Foundation::Result<void, Foundation::NSError> SimulatedCapture::setFrameFiles(
    const std::vector<std::string>& paths) {
  std::vector<std::shared_ptr<const Foundation::Data>> files;
  for (const auto& path : paths) {
    auto bytes = Foundation::dataContentsOf(path);
    if (!bytes)
      return Foundation::failure(Foundation::NSError(
          bytes.error().domain, static_cast<int>(bytes.error().code),
          {{Foundation::NSLocalizedDescriptionKey, bytes.error().localizedDescription()}}));
    const auto source = ImageIO::CGImageSource::createWithData(bytes.value());
    if (source->count() != 1)
      return Foundation::failure(
          avError(AVErrorUnknown,
                  "Not a JPEG file: " + path + " (" + source->status()->description() + ")"));
    files.push_back(std::make_shared<const Foundation::Data>(std::move(bytes).value()));
  }
  std::lock_guard lock(mutex_);
  frameFiles_ = std::move(files);
  return Foundation::success();
}

SimulatedCapture::Frame SimulatedCapture::nextFrame(AVCaptureSession::Preset preset) {
  std::lock_guard lock(mutex_);
  Frame frame;
  frame.number = frameCount_++;
  if (!frameFiles_.empty()) {
    frame.jpeg = frameFiles_[frame.number % frameFiles_.size()];
    return frame;
  }
  switch (preset) {
    case AVCaptureSession::Preset::photo:
      frame.width = 4032, frame.height = 3024;
      break;
    case AVCaptureSession::Preset::high:
      frame.width = 1920, frame.height = 1080;
      break;
    case AVCaptureSession::Preset::medium:
      frame.width = 640, frame.height = 480;
      break;
    case AVCaptureSession::Preset::low:
      frame.width = 192, frame.height = 144;
      break;
  }
  return frame;
}

void SimulatedCapture::addPhotoFault(PhotoFaultSpec fault) {
  std::lock_guard lock(mutex_);
  photoFaults_.push_back(fault);
}

std::optional<SimulatedCapture::PhotoFaultSpec> SimulatedCapture::takePhotoFault() {
  std::lock_guard lock(mutex_);
  if (photoFaults_.empty()) return std::nullopt;
  auto fault = photoFaults_.front();
  photoFaults_.pop_front();
  return fault;
}

std::size_t SimulatedCapture::waitingPhotoFaults() const {
  std::lock_guard lock(mutex_);
  return photoFaults_.size();
}

void SimulatedCapture::setMovieBytesPerSecond(std::int64_t bytes) {
  std::lock_guard lock(mutex_);
  movieBytesPerSecond_ = std::max<std::int64_t>(0, bytes);
}

std::int64_t SimulatedCapture::movieBytesPerSecond() const {
  std::lock_guard lock(mutex_);
  return movieBytesPerSecond_;
}

void SimulatedCapture::failNextRecordingEnd(Foundation::NSError error) {
  std::lock_guard lock(mutex_);
  recordingEndError_ = std::move(error);
}

std::optional<Foundation::NSError> SimulatedCapture::takeRecordingEndError() {
  std::lock_guard lock(mutex_);
  auto error = std::move(recordingEndError_);
  recordingEndError_.reset();
  return error;
}

void SimulatedCapture::registerRecording(const std::shared_ptr<AVCaptureMovieFileOutput>& output) {
  std::lock_guard lock(mutex_);
  std::erase_if(recordings_, [](const auto& weak) { return weak.expired(); });
  recordings_.push_back(output);
}

int SimulatedCapture::endRecordingsUnasked(const Foundation::NSError& error) {
  std::vector<std::shared_ptr<AVCaptureMovieFileOutput>> outputs;
  {
    std::lock_guard lock(mutex_);
    for (const auto& weak : recordings_)
      if (auto output = weak.lock()) outputs.push_back(std::move(output));
    recordings_.clear();
  }
  int ended = 0;
  for (const auto& output : outputs) {
    if (!output->isRecording()) continue;
    output->endUnasked(error);
    ++ended;
  }
  return ended;
}

std::shared_ptr<const CoreGraphics::CGImage> SimulatedCapture::pattern(std::uint32_t number,
                                                                       std::size_t width,
                                                                       std::size_t height) {
  if (width < kCells || height < 4) return nullptr;
  auto pixels = std::make_shared<CoreGraphics::CGImage::Pixels>(width * height * 4);
  std::vector<std::uint8_t> band(width * 4);
  for (std::size_t x = 0; x < width; ++x) {
    const std::size_t cell = x * kCells / width;
    bool white = cell == 0;
    if (cell >= 1 && cell <= kBits) white = (number >> (kBits - cell)) & 1u;
    const std::uint8_t v = white ? 255 : 0;
    std::uint8_t* p = &band[x * 4];
    p[0] = p[1] = p[2] = v;
    p[3] = 255;
  }
  std::vector<std::uint8_t> plain(width * 4, kGrey);
  for (std::size_t x = 0; x < width; ++x) plain[x * 4 + 3] = 255;
  const std::size_t bandRows = height / 4;
  for (std::size_t y = 0; y < height; ++y) {
    const auto& row = y < bandRows ? band : plain;
    std::memcpy(pixels->data() + y * width * 4, row.data(), row.size());
  }
  return std::make_shared<const CoreGraphics::CGImage>(width, height, std::move(pixels));
}

std::optional<SimulatedCapture::PatternMark> SimulatedCapture::readPattern(
    const CoreGraphics::CGImage& image) {
  const std::size_t width = image.width();
  const std::size_t height = image.height();
  if (width < kCells || height < 4) return std::nullopt;
  const std::size_t y = height / 8;
  auto white = [&](std::size_t cell) -> std::optional<bool> {
    const std::size_t x = (2 * cell + 1) * width / (2 * kCells);
    const auto* p = image.pixels().data() + (y * width + x) * 4;
    const int luma = (p[0] + p[1] + p[2]) / 3;
    if (luma > 192) return true;
    if (luma < 64) return false;
    return std::nullopt;  // neither: not the pattern
  };
  const auto first = white(0);
  const auto last = white(kCells - 1);
  if (!first || !last || *first == *last) return std::nullopt;
  PatternMark mark;
  mark.mirrored = !*first;
  for (std::size_t bit = 1; bit <= kBits; ++bit) {
    const auto value = white(mark.mirrored ? kCells - 1 - bit : bit);
    if (!value) return std::nullopt;
    mark.number = (mark.number << 1) | (*value ? 1u : 0u);
  }
  return mark;
}

}  // namespace AVFoundation
