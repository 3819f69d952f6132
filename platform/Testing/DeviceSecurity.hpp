#pragma once

#include <optional>
#include <vector>

#include "LocalAuthentication/LAContext.hpp"
#include "LocalAuthentication/SimulatedDevice.hpp"

namespace PlatformTesting {

// The simulated device's security settings and its owner's answers to the authentication
// sheet, as a test or host sets them. A new process starts with a passcode, enrolled Face ID,
// every sheet approved and an empty keychain in memory.
class Device {
 public:
  using Answer = LocalAuthentication::SimulatedDevice::Answer;
  using Prompt = LocalAuthentication::SimulatedDevice::Prompt;

  // Back to the start state: settings and answers as above, the sheet history cleared, a
  // held sheet dismissed by the system, and a new, empty keychain in memory.
  static void reset();

  static void setPasscodeSet(bool passcodeSet);
  // The biometry hardware (none, touchID or faceID) and whether the owner has enrolled.
  static void setBiometry(LocalAuthentication::LABiometryType hardware, bool enrolled = true);

  // How the owner answers every later sheet. With Answer::hold a sheet stays up, blocking
  // whoever asked, until answerPrompt() is called from another thread.
  static void setPromptAnswer(Answer answer);
  // Waits up to `seconds` of real time for a held sheet and returns it (the oldest).
  static std::optional<Prompt> waitForPrompt(double seconds = 10.0);
  // Answers the oldest held sheet (approve, cancel or fail); false when none is up.
  static bool answerPrompt(Answer answer);
  // Every sheet shown since the last reset, oldest first.
  static std::vector<Prompt> shownPrompts();
};

}  // namespace PlatformTesting
