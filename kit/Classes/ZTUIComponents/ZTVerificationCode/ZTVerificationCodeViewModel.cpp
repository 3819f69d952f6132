#include "ZTUIComponents/ZTVerificationCode/ZTVerificationCodeViewModel.hpp"

#include "ZTAPI/ZTPrivateAPIAuthUser.hpp"
#include "ZTAPI/ZTPrivateAPIUserAccount.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTVerificationModelSteps.hpp"

namespace ZentrelSDK {

std::shared_ptr<ZTVerificationCodeViewModel> ZTVerificationCodeViewModel::make(
    std::weak_ptr<NeedVerification> delegate) {
  auto model =
      std::make_shared<ZTVerificationCodeViewModel>(Token{}, std::move(delegate), std::nullopt);
  model->getSettings();
  return model;
}

std::shared_ptr<ZTVerificationCodeViewModel> ZTVerificationCodeViewModel::make(
    std::weak_ptr<NeedVerification> delegate, std::string email, bool hideLoader) {
  auto model =
      std::make_shared<ZTVerificationCodeViewModel>(Token{}, std::move(delegate), std::move(email));
  model->checkEmail(hideLoader);
  return model;
}

ZTVerificationCodeViewModel::ZTVerificationCodeViewModel(Token,
                                                         std::weak_ptr<NeedVerification> delegate,
                                                         std::optional<std::string> email)
    : delegate_(std::move(delegate)), email_(std::move(email)) {}

void ZTVerificationCodeViewModel::setEmail(const std::string& email) {
  email_ = email;
}

void ZTVerificationCodeViewModel::resendCode(bool hideLoader) {
  if (authType_ == AuthType::otp) return;
  // Runs only while the model lives.
  ZTVerificationModelSteps::sendCode(weak_from_this(), email_, hideLoader,
                                     [this](const std::string& error) { errorHandler(error); });
}

void ZTVerificationCodeViewModel::verificationFinished(const std::string& code) {
  ZTVerificationModelSteps::reportCode(delegate(), code);
}

void ZTVerificationCodeViewModel::addActionOnAuthTypeChanging(Action action) {
  if (!authTypeDidChangeActions_) authTypeDidChangeActions_.emplace();
  authTypeDidChangeActions_->push_back(std::move(action));
}

void ZTVerificationCodeViewModel::getSettings() {
  const std::weak_ptr<ZTVerificationCodeViewModel> weak = weak_from_this();
  ZTPrivateAPIUserAccount::getUserSettings(
      std::nullopt, false,
      [weak](ZTAccountSettingsResponse settings) {
        if (auto self = weak.lock()) self->successGetUserSettingsHandler(settings);
      },
      [weak](std::string error) {
        if (auto self = weak.lock()) self->errorHandler(error);
      });
}

void ZTVerificationCodeViewModel::checkEmail(bool hideLoader) {
  if (!email_) return;
  const std::weak_ptr<ZTVerificationCodeViewModel> weak = weak_from_this();
  ZTPrivateAPIAuthUser::checkEmail(
      *email_,
      [weak, hideLoader](ZTCheckEmailResponse response) {
        if (auto self = weak.lock()) self->successCheckEmailHandler(response, hideLoader);
      },
      [weak](std::string error) {
        if (auto self = weak.lock()) self->errorHandler(error);
      });
}

void ZTVerificationCodeViewModel::successGetUserSettingsHandler(
    const ZTAccountSettingsResponse& settings) {
  if (settings.smsCodeEnabled) {
    authType_ = AuthType::sms;
  } else if (settings.otpEnabled) {
    authType_ = AuthType::otp;
  } else {
    authType_ = AuthType::email;
  }
  setEmailFromResponse(settings);
  resendCode(false);
  fireViewCallbackOnTypeChange();
}

void ZTVerificationCodeViewModel::successCheckEmailHandler(const ZTCheckEmailResponse& response,
                                                           bool hideLoader) {
  if (!response.success) {
    if (response.message) errorHandler(*response.message);
    return;
  }
  if (response.challenge) {
    switch (response.challenge->challengeType) {
      case ZTConstants::ChallengeType::emailLink:
      case ZTConstants::ChallengeType::password:
        authType_ = AuthType::email;
        resendCode(hideLoader);
        break;
      case ZTConstants::ChallengeType::otp:
        authType_ = AuthType::otp;
        break;
      case ZTConstants::ChallengeType::sms:
        authType_ = AuthType::sms;
        resendCode(hideLoader);
        break;
    }
  }
  fireViewCallbackOnTypeChange();
}

void ZTVerificationCodeViewModel::errorHandler(const std::string& error) {
  ZTVerificationModelSteps::showError(error);
}

void ZTVerificationCodeViewModel::setEmailFromResponse(const ZTAccountSettingsResponse& settings) {
  if (!email_) email_ = settings.email;
}

void ZTVerificationCodeViewModel::fireViewCallbackOnTypeChange() {
  if (!authTypeDidChangeActions_) return;
  // A copy: an action may add another.
  const auto actions = *authTypeDidChangeActions_;
  for (const auto& action : actions) {
    if (action) action();
  }
}

}  // namespace ZentrelSDK
