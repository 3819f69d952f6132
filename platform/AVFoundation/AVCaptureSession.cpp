#include "AVFoundation/AVCaptureSession.hpp"

#include <algorithm>
#include <utility>

#include "AVFoundation/SimulatedCapture.hpp"

namespace AVFoundation {

namespace {
std::string describe(const std::shared_ptr<AVCaptureInput>& input) {
  if (auto device = std::dynamic_pointer_cast<AVCaptureDeviceInput>(input))
    return device->device()->localizedName();
  return "metadata input";
}

template <class T>
bool holds(const std::vector<std::shared_ptr<T>>& items, const std::shared_ptr<T>& item) {
  return std::find(items.begin(), items.end(), item) != items.end();
}
}  // namespace

const char* presetName(AVCaptureSession::Preset preset) {
  switch (preset) {
    case AVCaptureSession::Preset::low:
      return "Low";
    case AVCaptureSession::Preset::medium:
      return "Medium";
    case AVCaptureSession::Preset::high:
      return "High";
    case AVCaptureSession::Preset::photo:
      return "Photo";
  }
  return "?";
}

AVCaptureSession::~AVCaptureSession() {
  for (const auto& output : outputs_) output->detach();
}

void AVCaptureSession::record(std::string action) {
  if (depth_ > 0)
    pending_.push_back(std::move(action));
  else
    SimulatedCapture::shared().log(std::move(action));
}

void AVCaptureSession::beginConfiguration() {
  std::lock_guard lock(mutex_);
  if (depth_++ == 0) pending_ = {"begin"};
}

void AVCaptureSession::commitConfiguration() {
  std::vector<std::string> actions;
  {
    std::lock_guard lock(mutex_);
    if (depth_ == 0) return;  // a commit without a begin changes nothing
    if (--depth_ > 0) return;
    actions = std::exchange(pending_, {});
  }
  // Only the outermost commit reaches the hardware, which may take its time over it; the
  // session stays usable from other threads meanwhile.
  SimulatedCapture::shared().awaitCommit();
  std::lock_guard lock(mutex_);
  active_ = preset_;
  actions.push_back("commit");
  for (auto& action : actions) SimulatedCapture::shared().log(std::move(action));
}

AVCaptureSession::Preset AVCaptureSession::sessionPreset() const {
  std::lock_guard lock(mutex_);
  return preset_;
}

AVCaptureSession::Preset AVCaptureSession::activePreset() const {
  std::lock_guard lock(mutex_);
  return active_;
}

bool AVCaptureSession::canSetSessionPreset(Preset preset) const {
  return SimulatedCapture::shared().acceptsPreset(preset);
}

bool AVCaptureSession::setSessionPreset(Preset preset) {
  if (!canSetSessionPreset(preset)) return false;
  std::lock_guard lock(mutex_);
  preset_ = preset;
  if (depth_ == 0) active_ = preset;
  record(std::string("preset ") + presetName(preset));
  return true;
}

bool AVCaptureSession::canAddInput(const std::shared_ptr<AVCaptureInput>& input) const {
  if (!input || !SimulatedCapture::shared().canAddInputs()) return false;
  std::lock_guard lock(mutex_);
  if (holds(inputs_, input)) return false;
  // One camera at a time, one microphone.
  auto device = std::dynamic_pointer_cast<AVCaptureDeviceInput>(input);
  if (!device) return true;
  for (const auto& other : inputs_) {
    auto existing = std::dynamic_pointer_cast<AVCaptureDeviceInput>(other);
    if (existing && existing->device()->deviceType() == device->device()->deviceType())
      return false;
  }
  return true;
}

void AVCaptureSession::connect(const std::shared_ptr<AVCaptureInput>& input,
                               const std::shared_ptr<AVCaptureOutput>& output) {
  for (const auto& port : input->ports()) {
    if (port->mediaType() == AVMediaType::metadata || !output->accepts(port->mediaType())) continue;
    if (output->connection(port->mediaType())) continue;
    auto connection = std::make_shared<AVCaptureConnection>(std::vector{port}, output);
    connection->setInSession(true);
    output->addConnection(connection);
    connections_.push_back(std::move(connection));
  }
}

bool AVCaptureSession::addInput(const std::shared_ptr<AVCaptureInput>& input) {
  if (!canAddInput(input)) return false;
  std::lock_guard lock(mutex_);
  inputs_.push_back(input);
  for (const auto& output : outputs_) connect(input, output);
  record("add input " + describe(input));
  return true;
}

bool AVCaptureSession::addInputWithNoConnections(const std::shared_ptr<AVCaptureInput>& input) {
  if (!canAddInput(input)) return false;
  std::lock_guard lock(mutex_);
  inputs_.push_back(input);
  record("add input " + describe(input));
  return true;
}

void AVCaptureSession::removeInput(const std::shared_ptr<AVCaptureInput>& input) {
  std::lock_guard lock(mutex_);
  if (!holds(inputs_, input)) return;
  std::erase(inputs_, input);
  // Its connections go with it.
  std::erase_if(connections_, [&](const auto& connection) {
    for (const auto& port : connection->inputPorts()) {
      if (port->input() != input) continue;
      connection->setInSession(false);
      if (auto output = connection->output()) output->removeConnection(connection);
      return true;
    }
    return false;
  });
  record("remove input " + describe(input));
}

bool AVCaptureSession::canAddOutput(const std::shared_ptr<AVCaptureOutput>& output) const {
  if (!output || !SimulatedCapture::shared().canAddOutputs() || output->session()) return false;
  std::lock_guard lock(mutex_);
  return !holds(outputs_, output);
}

bool AVCaptureSession::addOutput(const std::shared_ptr<AVCaptureOutput>& output) {
  if (!canAddOutput(output)) return false;
  std::lock_guard lock(mutex_);
  outputs_.push_back(output);
  output->attach(shared_from_this());
  for (const auto& input : inputs_) connect(input, output);
  record(std::string("add ") + output->kind());
  return true;
}

bool AVCaptureSession::addOutputWithNoConnections(const std::shared_ptr<AVCaptureOutput>& output) {
  if (!canAddOutput(output)) return false;
  std::lock_guard lock(mutex_);
  outputs_.push_back(output);
  output->attach(shared_from_this());
  record(std::string("add ") + output->kind());
  return true;
}

void AVCaptureSession::removeOutput(const std::shared_ptr<AVCaptureOutput>& output) {
  std::lock_guard lock(mutex_);
  if (!holds(outputs_, output)) return;
  std::erase(outputs_, output);
  std::erase_if(connections_, [&](const auto& c) { return c->output() == output; });
  output->detach();
  record(std::string("remove ") + output->kind());
}

bool AVCaptureSession::canAddConnection(
    const std::shared_ptr<AVCaptureConnection>& connection) const {
  if (!connection || connection->inputPorts().empty()) return false;
  std::lock_guard lock(mutex_);
  if (holds(connections_, connection)) return false;
  for (const auto& port : connection->inputPorts())
    if (!port->input() || !holds(inputs_, port->input())) return false;
  const auto output = connection->output();
  if (!output || !holds(outputs_, output)) return false;
  for (const auto& port : connection->inputPorts())
    if (!output->accepts(port->mediaType())) return false;
  return true;
}

bool AVCaptureSession::addConnection(const std::shared_ptr<AVCaptureConnection>& connection) {
  if (!canAddConnection(connection)) return false;
  std::lock_guard lock(mutex_);
  connection->setInSession(true);
  connection->output()->addConnection(connection);
  connections_.push_back(connection);
  record(std::string("add connection to ") + connection->output()->kind());
  return true;
}

std::vector<std::shared_ptr<AVCaptureInput>> AVCaptureSession::inputs() const {
  std::lock_guard lock(mutex_);
  return inputs_;
}

std::vector<std::shared_ptr<AVCaptureOutput>> AVCaptureSession::outputs() const {
  std::lock_guard lock(mutex_);
  return outputs_;
}

std::shared_ptr<AVCaptureDevice> AVCaptureSession::videoDevice() const {
  std::lock_guard lock(mutex_);
  for (const auto& input : inputs_) {
    auto device = std::dynamic_pointer_cast<AVCaptureDeviceInput>(input);
    if (device && device->device()->hasMediaType(AVMediaType::video)) return device->device();
  }
  return nullptr;
}

void AVCaptureSession::startRunning() {
  std::lock_guard lock(mutex_);
  if (running_) return;
  running_ = true;
  SimulatedCapture::shared().log("start");
}

void AVCaptureSession::stopRunning() {
  std::lock_guard lock(mutex_);
  if (!running_) return;
  running_ = false;
  SimulatedCapture::shared().log("stop");
}

bool AVCaptureSession::isRunning() const {
  std::lock_guard lock(mutex_);
  return running_;
}

}  // namespace AVFoundation
