#include "ZTAuth/SignUp/ZTSignUpViewModel.hpp"

#include "ZTAPI/ZTPrivateAPIAuthUser.hpp"
#include "ZTBiometrics/ZTBiometrics.hpp"
#include "ZTEvents.hpp"
#include "ZTTokenUtilites.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "ZTUtilites/ZTValidators.hpp"

namespace ZentrelSDK {

ZTSignUpViewModel::ZTSignUpViewModel(std::weak_ptr<ZTSignUpNewController> delegate)
    : delegate_(std::move(delegate)) {}

bool ZTSignUpViewModel::emailIsValid(const std::string& email) const {
  return ZTValidators::validateEmail(email);
}

bool ZTSignUpViewModel::passwordsMatch(const std::optional<std::string>& password,
                                       const std::optional<std::string>& repeatePassword) const {
  if (!password || !repeatePassword) return false;
  return ZTValidators::validatePassword(password) &&
         ZTValidators::validatePassword(repeatePassword) && *password == *repeatePassword;
}

bool ZTSignUpViewModel::verificationCodeIsValid(const std::optional<std::string>& code) const {
  return code && ZTValidators::validateCode(code);
}

void ZTSignUpViewModel::goToNextStep() {
  auto screen = delegate();
  switch (signUpStep_) {
    case ZTSignUpStep::enteringEmailAndPasswords:
      signUpStep_ = ZTSignUpStep::enteringVerificationCode;
      if (screen) screen->showStep(signUpStep_);
      break;
    case ZTSignUpStep::enteringVerificationCode:
      if (screen) screen->tryToSignUp();
      break;
    case ZTSignUpStep::saveBioToken:
      if (screen) screen->didSignUpSuccessfully([] { ZTEvents::shared()->userDidEnterEmit(); });
      break;
  }
}

void ZTSignUpViewModel::signUp(const std::string& email, const std::string& password,
                               const std::string& verificationCode) {
  ZTUIUtilites::shared()->loaderStart(1.0);
  ZTPrivateAPIAuthUser::signUp(
      email, password, verificationCode,
      [weak = weak_from_this()](Foundation::Result<ZTAuthTokenResponse, Error> result) {
        auto self = weak.lock();
        // Nobody is left to answer, but the loader this request started must not stay up.
        if (!self) return ZTUIUtilites::shared()->loaderDissmiss();
        if (result.isSuccess()) return self->handleSuccessSignUp(result.value());
        self->handleErrorSignUp(result.error().localizedDescription());
      });
}

void ZTSignUpViewModel::handleSuccessSignUp(const ZTAuthTokenResponse& authToken) {
  // A signed-up user without a session cannot go on: report it rather than enter.
  if (!authToken.csrfToken) {
    return handleErrorSignUp(
        ZTPrivateAPIAuthUser::ZTAuthUserError::unhandledResponseCode().localizedDescription());
  }
  ZTUIUtilites::shared()->loaderDissmiss([weak = weak_from_this(), token = authToken.csrfToken] {
    ZTTokenUtilites::shared()->saveToken(token, true,
                                         [weak](const std::optional<std::string>& stored) {
                                           if (weak.expired() || !stored) return;
                                           ZTBiometrics::shared()->storeToken(*stored, [](auto) {});
                                         });
    auto self = weak.lock();
    if (!self) return;
    if (auto screen = self->delegate())
      screen->didSignUpSuccessfully([] { ZTEvents::shared()->userDidEnterEmit(); });
  });
}

void ZTSignUpViewModel::handleErrorSignUp(const std::string& description) {
  ZTUIUtilites::shared()->loaderDissmiss([weak = weak_from_this(), description] {
    auto self = weak.lock();
    if (!self) return;
    if (auto screen = self->delegate()) screen->errorWithSignUp(description);
  });
}

}  // namespace ZentrelSDK
