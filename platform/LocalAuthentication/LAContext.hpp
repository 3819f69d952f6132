#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "Dispatch/DispatchQueue.hpp"
#include "Foundation/Clock.hpp"
#include "LocalAuthentication/LAError.hpp"

namespace LocalAuthentication {

enum class LAPolicy : int {
  deviceOwnerAuthenticationWithBiometrics = 1,
  // Biometrics or, failing them, the device passcode.
  deviceOwnerAuthentication = 2,
};

enum class LABiometryType : int { none = 0, touchID = 1, faceID = 2 };

inline constexpr Foundation::TimeInterval LATouchIDAuthenticationMaximumAllowableReuseDuration =
    300.0;

// Swift's LAContext, asking the simulated device (set up through PlatformTesting::Device).
// Held by std::shared_ptr; safe to use from any thread.
class LAContext {
 public:
  LAContext();
  LAContext(const LAContext&) = delete;
  LAContext& operator=(const LAContext&) = delete;

  // True when the policy can be evaluated now. Otherwise false, with the reason stored in
  // `*error` when given; a success leaves `*error` as it was.
  bool canEvaluatePolicy(LAPolicy policy, std::optional<LAError>* error = nullptr);

  // The device's biometry hardware, known once canEvaluatePolicy has been called (whatever
  // it returned); none before.
  LABiometryType biometryType() const { return biometryType_.load(); }

  using Reply = std::function<void(bool success, std::optional<LAError> error)>;
  // Shows the authentication sheet with `localizedReason`; `reply` runs on a private queue of
  // this context once the owner has answered.
  void evaluatePolicy(LAPolicy policy, std::string localizedReason, Reply reply);

  // Clamped to [0, LATouchIDAuthenticationMaximumAllowableReuseDuration].
  Foundation::TimeInterval touchIDAuthenticationAllowableReuseDuration() const {
    return reuseDuration_.load();
  }
  void setTouchIDAuthenticationAllowableReuseDuration(Foundation::TimeInterval seconds);

 private:
  std::atomic<LABiometryType> biometryType_{LABiometryType::none};
  std::atomic<Foundation::TimeInterval> reuseDuration_{0.0};
  Dispatch::DispatchQueue replyQueue_;
};

}  // namespace LocalAuthentication
