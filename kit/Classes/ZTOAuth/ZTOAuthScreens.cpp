#include "ZTOAuth/ZTOAuthScreens.hpp"

#include <mutex>

namespace ZentrelSDK {

namespace {

struct Installed {
  std::mutex mutex;
  std::shared_ptr<ZTVerificationCodePresenting> code;
  std::shared_ptr<ZTModalScopesPresenting> scopes;
};

Installed& installed() {
  static Installed instance;
  return instance;
}

}  // namespace

std::string ZTValidationError::localizedDescription() const {
  return "The operation couldn\u2019t be completed. (ZentrelSDK.ZTValidationError error 0.)";
}

void ZTOAuthScreens::setVerificationCodePresenter(
    std::shared_ptr<ZTVerificationCodePresenting> presenter) {
  std::lock_guard lock(installed().mutex);
  installed().code = std::move(presenter);
}

std::shared_ptr<ZTVerificationCodePresenting> ZTOAuthScreens::verificationCodePresenter() {
  std::lock_guard lock(installed().mutex);
  return installed().code;
}

void ZTOAuthScreens::setScopesPresenter(std::shared_ptr<ZTModalScopesPresenting> presenter) {
  std::lock_guard lock(installed().mutex);
  installed().scopes = std::move(presenter);
}

std::shared_ptr<ZTModalScopesPresenting> ZTOAuthScreens::scopesPresenter() {
  std::lock_guard lock(installed().mutex);
  return installed().scopes;
}

}  // namespace ZentrelSDK
