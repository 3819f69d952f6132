#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>

#include <Foundation/Result.hpp>
#include <LocalAuthentication/LAContext.hpp>
#include <LocalAuthentication/LAError.hpp>

#include "ZTBiometrics/ZTKeychain.hpp"

namespace ZentrelSDK {

// Keeps the session token for biometric sign-in in the keychain behind user presence.
// Keychain work runs on the global queue of default quality of service and every result comes
// back there, not on the main queue; only getToken's refusal on a device without usable
// biometry comes at once, on the caller's thread.
class ZTBiometrics : public std::enable_shared_from_this<ZTBiometrics> {
 public:
  enum class BioError { deviceDoesNotSupportBiometric, cannotSaveNilData };
  using Error = std::variant<BioError, ZTKeychain::KeychainError>;

  static const std::shared_ptr<ZTBiometrics>& shared();

  // The biometry the device offers, or none when the device-owner policy cannot be
  // evaluated (no passcode).
  LocalAuthentication::LABiometryType checkBioType();
  void removeToken(std::function<void(Foundation::Result<bool, Error>)> result);
  void storeToken(const std::string& token,
                  std::function<void(Foundation::Result<bool, Error>)> result);
  void getToken(std::function<void(Foundation::Result<std::string, Error>)> result);

  // What the last failed biometry check reported; a successful check leaves it as it was.
  std::optional<LocalAuthentication::LAError> authorizationError() const;
  void setAuthorizationError(std::optional<LocalAuthentication::LAError> error);

  // BioError's LocalizedError texts (it has no failure reason, recovery suggestion or help
  // anchor).
  static std::optional<std::string> errorDescription(BioError error);
  // The text a screen shows for any failure of this class.
  static std::string localizedDescription(const Error& error);

  ZTBiometrics();

 private:
  const std::shared_ptr<LocalAuthentication::LAContext> localAuthenticationContext;
  mutable std::mutex authorizationErrorMutex_;
  std::optional<LocalAuthentication::LAError> authorizationError_;
};

}  // namespace ZentrelSDK
