#include "Security/SecBase.hpp"

namespace Security {

std::optional<std::string> SecCopyErrorMessageString(OSStatus status, void* /*reserved*/) {
  switch (status) {
    case errSecSuccess:
      return "No error.";
    case errSecIO:
      return "I/O error.";
    case errSecParam:
      return "One or more parameters passed to a function were not valid.";
    case errSecUserCanceled:
      return "User canceled the operation.";
    case errSecInternalComponent:
      return "An internal component failed.";
    case errSecNotAvailable:
      return "No keychain is available. You may need to restart your computer.";
    case errSecAuthFailed:
      return "The user name or passphrase you entered is not correct.";
    case errSecDuplicateItem:
      return "The specified item already exists in the keychain.";
    case errSecItemNotFound:
      return "The specified item could not be found in the keychain.";
    default:
      return std::nullopt;
  }
}

}  // namespace Security
