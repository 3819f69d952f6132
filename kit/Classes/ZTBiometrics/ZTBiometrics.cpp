#include "ZTBiometrics/ZTBiometrics.hpp"

#include <utility>

#include <Dispatch/DispatchQueue.hpp>

namespace ZentrelSDK {

using LocalAuthentication::LABiometryType;
using LocalAuthentication::LAPolicy;

namespace {

template <class T>
Foundation::Result<T, ZTBiometrics::Error> keychainFailure(ZTKeychain::KeychainError error) {
  return Foundation::failure(ZTBiometrics::Error{error});
}

}  // namespace

const std::shared_ptr<ZTBiometrics>& ZTBiometrics::shared() {
  // Never destroyed: keychain work may still be running on a worker when the process exits.
  static const auto* instance = new std::shared_ptr<ZTBiometrics>(std::make_shared<ZTBiometrics>());
  return *instance;
}

ZTBiometrics::ZTBiometrics()
    : localAuthenticationContext(std::make_shared<LocalAuthentication::LAContext>()) {}

LABiometryType ZTBiometrics::checkBioType() {
  // Device-owner policy: a passcode alone passes, and the hardware then decides the type.
  std::lock_guard lock(authorizationErrorMutex_);
  if (!localAuthenticationContext->canEvaluatePolicy(LAPolicy::deviceOwnerAuthentication,
                                                     &authorizationError_))
    return LABiometryType::none;
  return localAuthenticationContext->biometryType();
}

void ZTBiometrics::removeToken(std::function<void(Foundation::Result<bool, Error>)> result) {
  Dispatch::DispatchQueue::global(Dispatch::QoS::Default).async([result = std::move(result)] {
    auto deleted = ZTKeychain::deleteData(ZTKeychain::StorageKeys::token);
    if (!result) return;
    if (deleted.isFailure()) return result(keychainFailure<bool>(deleted.error()));
    result(Foundation::success(true));
  });
}

void ZTBiometrics::storeToken(const std::string& token,
                              std::function<void(Foundation::Result<bool, Error>)> result) {
  Dispatch::DispatchQueue::global(Dispatch::QoS::Default)
      .async([token, result = std::move(result)] {
        auto stored = ZTKeychain::addOrUpdateToStorage(ZTKeychain::StorageKeys::token, token);
        if (!result) return;
        if (stored.isFailure()) return result(keychainFailure<bool>(stored.error()));
        result(Foundation::success(true));
      });
}

void ZTBiometrics::getToken(std::function<void(Foundation::Result<std::string, Error>)> result) {
  if (checkBioType() == LABiometryType::none) {
    if (result) result(Foundation::failure(Error{BioError::deviceDoesNotSupportBiometric}));
    return;
  }
  Dispatch::DispatchQueue::global(Dispatch::QoS::Default).async([result = std::move(result)] {
    auto token = ZTKeychain::getString(ZTKeychain::StorageKeys::token);
    if (!result) return;
    if (token.isFailure()) return result(keychainFailure<std::string>(token.error()));
    result(Foundation::success(std::move(token).value()));
  });
}

std::optional<LocalAuthentication::LAError> ZTBiometrics::authorizationError() const {
  std::lock_guard lock(authorizationErrorMutex_);
  return authorizationError_;
}

void ZTBiometrics::setAuthorizationError(std::optional<LocalAuthentication::LAError> error) {
  std::lock_guard lock(authorizationErrorMutex_);
  authorizationError_ = std::move(error);
}

std::optional<std::string> ZTBiometrics::errorDescription(BioError error) {
  switch (error) {
    case BioError::deviceDoesNotSupportBiometric:
      return "Your device does not support biometrics";
    case BioError::cannotSaveNilData:
      return "Cannot save nil data";
  }
  return std::nullopt;
}

std::string ZTBiometrics::localizedDescription(const Error& error) {
  if (const auto* bio = std::get_if<BioError>(&error)) return errorDescription(*bio).value_or("");
  if (const auto* keychain = std::get_if<ZTKeychain::KeychainError>(&error))
    return keychain->localizedDescription();
  return "";
}

}  // namespace ZentrelSDK
