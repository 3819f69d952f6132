#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "LocalAuthentication/LAContext.hpp"
#include "LocalAuthentication/LAError.hpp"

namespace LocalAuthentication {

// The owner-authentication side of the one simulated device: its passcode and biometry
// settings, and the authentication sheet with the answer its owner gives. Tests and hosts
// drive it through PlatformTesting::Device. Thread-safe.
class SimulatedDevice {
 public:
  struct Settings {
    bool passcodeSet = true;
    LABiometryType biometry = LABiometryType::faceID;  // the hardware
    bool biometryEnrolled = true;
    bool operator==(const Settings&) const = default;
  };
  // How the owner answers a sheet; `hold` keeps it up until answerHeldPrompt().
  enum class Answer { approve, cancel, fail, hold };
  struct Prompt {
    LAPolicy policy = LAPolicy::deviceOwnerAuthentication;
    std::string reason;
  };

  static SimulatedDevice& shared();

  Settings settings() const;
  void setSettings(const Settings& settings);
  Answer answer() const;
  void setAnswer(Answer answer);

  // Why the policy cannot be evaluated with the current settings, or nullopt when it can.
  std::optional<LAError> refusal(LAPolicy policy) const;

  // Shows the sheet and blocks until the owner answers; nullopt when approved.
  std::optional<LAError> present(Prompt prompt);

  // Waits up to `seconds` of real time for a held sheet; the oldest one still up.
  std::optional<Prompt> waitForHeldPrompt(double seconds);
  // Answers the oldest held sheet with approve, cancel or fail; false when none is up (or
  // the answer is `hold`).
  bool answerHeldPrompt(Answer answer);
  // Every sheet shown since the last reset, oldest first.
  std::vector<Prompt> shownPrompts() const;

  // Default settings and answer (approve), history cleared; sheets still held are
  // dismissed by the system.
  void reset();

 private:
  struct Held {
    Prompt prompt;
    bool answered = false;
    std::optional<LAError> result;
  };

  SimulatedDevice() = default;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  Settings settings_;
  Answer answer_ = Answer::approve;
  std::deque<std::shared_ptr<Held>> held_;
  std::vector<Prompt> shown_;
};

}  // namespace LocalAuthentication
