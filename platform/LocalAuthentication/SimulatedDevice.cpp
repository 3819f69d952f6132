#include "LocalAuthentication/SimulatedDevice.hpp"

#include <chrono>

namespace LocalAuthentication {

namespace {

std::optional<LAError> resultOf(SimulatedDevice::Answer answer) {
  switch (answer) {
    case SimulatedDevice::Answer::approve:
      return std::nullopt;
    case SimulatedDevice::Answer::cancel:
      return LAError{LAError::Code::userCancel};
    case SimulatedDevice::Answer::fail:
    case SimulatedDevice::Answer::hold:
      break;
  }
  return LAError{LAError::Code::authenticationFailed};
}

}  // namespace

SimulatedDevice& SimulatedDevice::shared() {
  static SimulatedDevice* device = new SimulatedDevice();  // outlives every worker thread
  return *device;
}

SimulatedDevice::Settings SimulatedDevice::settings() const {
  std::lock_guard lock(mutex_);
  return settings_;
}

void SimulatedDevice::setSettings(const Settings& settings) {
  std::lock_guard lock(mutex_);
  settings_ = settings;
}

SimulatedDevice::Answer SimulatedDevice::answer() const {
  std::lock_guard lock(mutex_);
  return answer_;
}

void SimulatedDevice::setAnswer(Answer answer) {
  std::lock_guard lock(mutex_);
  answer_ = answer;
}

std::optional<LAError> SimulatedDevice::refusal(LAPolicy policy) const {
  const Settings s = settings();
  if (policy == LAPolicy::deviceOwnerAuthentication) {
    if (!s.passcodeSet) return LAError{LAError::Code::passcodeNotSet};
    return std::nullopt;
  }
  if (s.biometry == LABiometryType::none) return LAError{LAError::Code::biometryNotAvailable};
  // Biometry is only offered on a device that has a passcode to fall back to.
  if (!s.passcodeSet) return LAError{LAError::Code::passcodeNotSet};
  if (!s.biometryEnrolled) return LAError{LAError::Code::biometryNotEnrolled};
  return std::nullopt;
}

std::optional<LAError> SimulatedDevice::present(Prompt prompt) {
  std::unique_lock lock(mutex_);
  shown_.push_back(prompt);
  if (answer_ != Answer::hold) return resultOf(answer_);
  auto held = std::make_shared<Held>();
  held->prompt = std::move(prompt);
  held_.push_back(held);
  changed_.notify_all();
  changed_.wait(lock, [&] { return held->answered; });
  return held->result;
}

std::optional<SimulatedDevice::Prompt> SimulatedDevice::waitForHeldPrompt(double seconds) {
  std::unique_lock lock(mutex_);
  const auto limit = std::chrono::duration<double>(seconds > 0 ? seconds : 0);
  if (!changed_.wait_for(lock, limit, [&] { return !held_.empty(); })) return std::nullopt;
  return held_.front()->prompt;
}

bool SimulatedDevice::answerHeldPrompt(Answer answer) {
  if (answer == Answer::hold) return false;
  std::lock_guard lock(mutex_);
  if (held_.empty()) return false;
  auto held = held_.front();
  held_.pop_front();
  held->answered = true;
  held->result = resultOf(answer);
  changed_.notify_all();
  return true;
}

std::vector<SimulatedDevice::Prompt> SimulatedDevice::shownPrompts() const {
  std::lock_guard lock(mutex_);
  return shown_;
}

void SimulatedDevice::reset() {
  std::lock_guard lock(mutex_);
  settings_ = Settings{};
  answer_ = Answer::approve;
  shown_.clear();
  for (auto& held : held_) {
    held->answered = true;
    held->result = LAError{LAError::Code::systemCancel};
  }
  held_.clear();
  changed_.notify_all();
}

}  // namespace LocalAuthentication
