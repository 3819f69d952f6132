#include "ZTAuth/ChangePassword/ZTChangePasswordViewModel.hpp"

#include <utility>

#include "ZTAPI/ZTPrivateAPIAuthUser.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTResetPassVerificationModel.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTVerificationCodeView.hpp"
#include "ZTUtilites/ZTValidators.hpp"

namespace ZentrelSDK {

ZTChangePasswordViewModel::ZTChangePasswordViewModel(std::string withEmail)
    : email_(std::move(withEmail)) {}

void ZTChangePasswordViewModel::setupDelegate(std::weak_ptr<ZTChangePasswordView> with) {
  delegate_ = std::move(with);
}

bool ZTChangePasswordViewModel::validatePasswords(
    const std::optional<std::string>& password, const std::optional<std::string>& repeatePassword) {
  if (!password || !repeatePassword) return false;
  if (!ZTValidators::validatePassword(password)) return false;
  return *password == *repeatePassword;
}

bool ZTChangePasswordViewModel::validateVerificationCode(const std::string& code) {
  return ZTValidators::validateCode(code);
}

void ZTChangePasswordViewModel::changePassword(const std::string& password,
                                               const std::string& code) {
  ZTUIUtilites::shared()->loaderStart(1.0, [self = shared_from_this(), password, code] {
    std::weak_ptr<ZTChangePasswordViewModel> weak = self;
    ZTPrivateAPIAuthUser::sendPasswordResetConfirm(
        password, code, [weak](Foundation::Result<bool, Error> result) {
          auto model = weak.lock();
          if (!model) return ZTUIUtilites::shared()->loaderDissmiss();
          if (result.isSuccess()) return model->successChangePasswordHandler();
          model->errorChangePasswordHandler(result.error());
        });
  });
}

void ZTChangePasswordViewModel::setupVerification(
    const std::shared_ptr<ZTVerificationCodeView>& view) {
  auto screen = delegate();
  if (!screen) return;
  auto verification = std::make_shared<ZTResetPassVerificationModel>(screen);
  verification->setEmail(email_);
  verification->beginResetSession();
  if (view) view->injectModel(verification);
}

void ZTChangePasswordViewModel::successChangePasswordHandler() {
  ZTUIUtilites::shared()->loaderDissmiss([self = shared_from_this()] {
    if (auto screen = self->delegate()) screen->didChangeCodeSuccessfully();
  });
}

void ZTChangePasswordViewModel::errorChangePasswordHandler(const Error& error) {
  ZTUIUtilites::shared()->loaderDissmiss(
      [self = shared_from_this(), text = error.localizedDescription()] {
        if (auto screen = self->delegate()) screen->didGetError(text);
      });
}

}  // namespace ZentrelSDK
