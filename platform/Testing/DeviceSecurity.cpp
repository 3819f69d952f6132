#include "Testing/DeviceSecurity.hpp"

#include "Security/KeychainStore.hpp"

namespace PlatformTesting {

using LocalAuthentication::SimulatedDevice;

void Device::reset() {
  SimulatedDevice::shared().reset();
  Security::KeychainStore::setDevice(nullptr);
}

void Device::setPasscodeSet(bool passcodeSet) {
  auto& device = SimulatedDevice::shared();
  auto settings = device.settings();
  settings.passcodeSet = passcodeSet;
  device.setSettings(settings);
}

void Device::setBiometry(LocalAuthentication::LABiometryType hardware, bool enrolled) {
  auto& device = SimulatedDevice::shared();
  auto settings = device.settings();
  settings.biometry = hardware;
  settings.biometryEnrolled = enrolled && hardware != LocalAuthentication::LABiometryType::none;
  device.setSettings(settings);
}

void Device::setPromptAnswer(Answer answer) {
  SimulatedDevice::shared().setAnswer(answer);
}

std::optional<Device::Prompt> Device::waitForPrompt(double seconds) {
  return SimulatedDevice::shared().waitForHeldPrompt(seconds);
}

bool Device::answerPrompt(Answer answer) {
  return SimulatedDevice::shared().answerHeldPrompt(answer);
}

std::vector<Device::Prompt> Device::shownPrompts() {
  return SimulatedDevice::shared().shownPrompts();
}

}  // namespace PlatformTesting
