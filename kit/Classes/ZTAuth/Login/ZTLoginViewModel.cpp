#include "ZTAuth/Login/ZTLoginViewModel.hpp"

#include <utility>

#include <Dispatch/DispatchQueue.hpp>
#include <LocalAuthentication/LAContext.hpp>

#include "ZTAPI/ZTPrivateAPIAuthUser.hpp"
#include "ZTAPI/ZTPrivateAPIUserAccount.hpp"
#include "ZTBiometrics/ZTBiometrics.hpp"
#include "ZTEvents.hpp"
#include "ZTTokenUtilites.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "ZTUtilites/ZTValidators.hpp"

namespace ZentrelSDK {

namespace {
const char* caseName(AuthType type) {
  switch (type) {
    case AuthType::unknown:
      return "unknown";
    case AuthType::email:
      return "email";
    case AuthType::otp:
      return "otp";
    case AuthType::sms:
      return "sms";
  }
  return "unknown";
}

// What the user sees when the server signed in but handed no session token.
constexpr const char* kNoTokenText = "Something went wrong, please, try later";
}  // namespace

std::shared_ptr<ZTLoginViewModel> ZTLoginViewModel::make(
    std::weak_ptr<ZTLoginController> delegate) {
  auto model = std::make_shared<ZTLoginViewModel>(Token{}, std::move(delegate));
  model->checkBioAuth();
  return model;
}

ZTLoginViewModel::ZTLoginViewModel(Token, std::weak_ptr<ZTLoginController> delegate)
    : delegate_(std::move(delegate)) {}

void ZTLoginViewModel::goToNextStep() {
  switch (loginStep_) {
    case ZTLoginStep::signInWithBioAuth:
      loginStep_ = ZTLoginStep::enteringEmail;
      break;
    case ZTLoginStep::enteringEmail:
      loginStep_ = ZTLoginStep::enteringPassword;
      break;
    case ZTLoginStep::enteringPassword:
      loginStep_ = ZTLoginStep::enteringVerificationCode;
      break;
    case ZTLoginStep::enteringVerificationCode:
      if (auto screen = delegate()) screen->tryToLogin();
      return;
  }
  if (auto screen = delegate()) screen->showStep(loginStep_);
}

void ZTLoginViewModel::logIn(const std::string& email, const std::string& password,
                             const std::string& verificationCode, AuthType authType) {
  const auto challengeType = getChallengeType(authType);
  if (!challengeType) {
    ZTUIUtilites::shared()->errorAlert(std::string("cannot take challenge type for ") +
                                       caseName(authType));
    return;
  }
  ZTUIUtilites::shared()->loaderStart(1.0, [self = shared_from_this(), email, password,
                                            verificationCode, challengeType = *challengeType] {
    std::weak_ptr<ZTLoginViewModel> weak = self;
    ZTPrivateAPIAuthUser::authToken(
        email, password, verificationCode, challengeType,
        [weak](ZTAuthTokenResponse response) {
          if (auto model = weak.lock()) return model->successLoginHandler(response);
          ZTUIUtilites::shared()->loaderDissmiss();
        },
        [weak](std::string error) {
          if (auto model = weak.lock()) return model->errorHandler(error);
          ZTUIUtilites::shared()->loaderDissmiss();
        });
  });
}

std::string ZTLoginViewModel::getBioLoginImageName() {
  return ZTBiometrics::shared()->checkBioType() == LocalAuthentication::LABiometryType::faceID
             ? "faceId"
             : "touchId";
}

void ZTLoginViewModel::bioLogIn() {
  ZTUIUtilites::shared()->loaderStart(1.0, [self = shared_from_this()] {
    std::weak_ptr<ZTLoginViewModel> weak = self;
    ZTBiometrics::shared()->getToken(
        [weak](Foundation::Result<std::string, ZTBiometrics::Error> result) {
          // The keychain answers on a worker: the model and the requests live on the main queue.
          Dispatch::DispatchQueue::main().async([weak, result = std::move(result)] {
            auto model = weak.lock();
            if (!model) return ZTUIUtilites::shared()->loaderDissmiss();
            if (result.isFailure())
              return model->errorHandler(ZTBiometrics::localizedDescription(result.error()));
            model->validateAuth(result.value());
          });
        });
  });
}

bool ZTLoginViewModel::emailIsValid(const std::string& email) {
  return ZTValidators::validateEmail(email);
}

bool ZTLoginViewModel::passwordIsValid(const std::string& password) {
  return ZTValidators::validatePassword(password);
}

void ZTLoginViewModel::validateAuth(const std::string& token) {
  std::weak_ptr<ZTLoginViewModel> weak = shared_from_this();
  ZTPrivateAPIUserAccount::getUserSettings(
      token, false,
      [weak, token](ZTAccountSettingsResponse) {
        ZTUIUtilites::shared()->loaderDissmiss([weak, token] {
          if (auto model = weak.lock()) model->endLogin(token, false);
        });
      },
      [weak](std::string) {
        if (auto model = weak.lock()) return model->errorHandler(sessionExpiredText);
        ZTUIUtilites::shared()->loaderDissmiss();
      });
}

void ZTLoginViewModel::successLoginHandler(const ZTAuthTokenResponse& response) {
  std::weak_ptr<ZTLoginViewModel> weak = shared_from_this();
  if (!response.csrfToken) return errorHandler(kNoTokenText);
  ZTUIUtilites::shared()->loaderDissmiss([weak, token = response.csrfToken] {
    if (auto model = weak.lock()) model->endLogin(token, true);
  });
}

void ZTLoginViewModel::endLogin(const std::optional<std::string>& token, bool isBase64) {
  if (!token) return;
  std::weak_ptr<ZTLoginViewModel> weak = shared_from_this();
  ZTTokenUtilites::shared()->saveToken(token, isBase64, [weak](std::optional<std::string> stored) {
    auto model = weak.lock();
    if (!model) return;
    if (auto screen = model->delegate()) {
      screen->didLoginSuccessfully([] { ZTEvents::shared()->userDidEnterEmit(); });
    }
    model->updateBioToken(stored);
  });
}

void ZTLoginViewModel::updateBioToken(const std::optional<std::string>& token) {
  // A device without biometry keeps nothing; the sign-in stands either way.
  if (token) ZTBiometrics::shared()->storeToken(*token, nullptr);
}

void ZTLoginViewModel::errorHandler(const std::string& error) {
  ZTUIUtilites::shared()->loaderDissmiss([error] { ZTUIUtilites::shared()->errorAlert(error); });
}

void ZTLoginViewModel::checkBioAuth() {
  if (ZTBiometrics::shared()->checkBioType() == LocalAuthentication::LABiometryType::none)
    goToNextStep();
}

}  // namespace ZentrelSDK
