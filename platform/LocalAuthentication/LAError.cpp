#include "LocalAuthentication/LAError.hpp"

namespace LocalAuthentication {

std::string LAError::localizedDescription() const {
  switch (code) {
    case Code::authenticationFailed:
      return "Application retry limit exceeded.";
    case Code::userCancel:
      return "Canceled by user.";
    case Code::systemCancel:
      return "UI canceled by system.";
    case Code::passcodeNotSet:
      return "Passcode not set.";
    case Code::biometryNotAvailable:
      return "Biometry is not available on this device.";
    case Code::biometryNotEnrolled:
      return "No identities are enrolled.";
  }
  return "Authentication failed.";
}

}  // namespace LocalAuthentication
