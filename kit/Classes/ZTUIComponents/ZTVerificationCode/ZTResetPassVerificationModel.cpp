#include "ZTUIComponents/ZTVerificationCode/ZTResetPassVerificationModel.hpp"

#include "ZTAPI/ZTPrivateAPIAuthUser.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTTooManyRequestsTimer/ZTVerificationTimerBlockModel.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTVerificationModelSteps.hpp"
#include "ZTUtilites/ZTValidators.hpp"

namespace ZentrelSDK {

ZTResetPassVerificationModel::ZTResetPassVerificationModel(std::weak_ptr<NeedVerification> delegate)
    : delegate_(std::move(delegate)) {}

void ZTResetPassVerificationModel::setEmail(const std::string& email) {
  email_ = email;
}

void ZTResetPassVerificationModel::resendCode(bool hideLoader) {
  // The sign-in code request, not the reset request again; runs only while the model lives.
  ZTVerificationModelSteps::sendCode(weak_from_this(), email_, hideLoader,
                                     [this](const std::string& error) { errorHandler(error); });
}

void ZTResetPassVerificationModel::verificationFinished(const std::string& code) {
  ZTVerificationModelSteps::reportCode(delegate(), code);
}

void ZTResetPassVerificationModel::addActionOnAuthTypeChanging(Action /*action*/) {}

void ZTResetPassVerificationModel::beginResetSession() {
  if (!ZTValidators::validateEmail(email_)) return;
  ZTPrivateAPIAuthUser::sendPasswordReset(
      *email_,
      [weak = weak_from_this()](Foundation::Result<ZTPasswordResetResponse, Error> result) {
        auto self = weak.lock();
        if (!self) return;
        if (result.isSuccess()) {
          self->successHandler();
        } else if (result.error() == ZTPrivateAPIAuthUser::ZTAuthUserError::tooManyRequests()) {
          self->handleTooManyRequests();
        } else {
          self->errorHandler(result.error().localizedDescription());
        }
      });
}

void ZTResetPassVerificationModel::handleTooManyRequests() {
  auto block = std::make_shared<ZTVerificationTimerBlockModel>(waitSeconds);
  auto screen = delegate();
  if (!screen) return;
  // The block keeps the screen until the wait is over.
  block->setOnCloseAction([screen] { screen->removeVerificationTimerView(); });
  screen->addVerificationTimerView(block);
}

void ZTResetPassVerificationModel::successHandler() {
  ZTUIUtilites::shared()->loaderDissmiss();
}

void ZTResetPassVerificationModel::errorHandler(const std::string& error) {
  ZTVerificationModelSteps::showError(error);
}

}  // namespace ZentrelSDK
