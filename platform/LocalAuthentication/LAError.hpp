#pragma once

#include <string>

namespace LocalAuthentication {

// Swift's LAError: the code the framework reports, with its English text.
struct LAError {
  enum class Code : int {
    authenticationFailed = -1,
    userCancel = -2,
    systemCancel = -4,
    passcodeNotSet = -5,
    biometryNotAvailable = -6,
    biometryNotEnrolled = -7,
  };

  Code code = Code::authenticationFailed;

  std::string localizedDescription() const;

  bool operator==(const LAError&) const = default;
};

}  // namespace LocalAuthentication
