#pragma once

#include <memory>
#include <optional>
#include <string>

#include "ZTAuth/ChangePassword/ZTChangePasswordModel.hpp"
#include "ZTNetworkCore/ZTNetworkErrors.hpp"

namespace ZentrelSDK {

// The password reset screen's logic: the checks of the new password and the code, the reset
// session for the e-mail and the confirmation. It refers to its screen weakly, and the
// confirmation's answer holds it weakly. Main thread only.
class ZTChangePasswordViewModel : public ZTChangePasswordModel,
                                  public std::enable_shared_from_this<ZTChangePasswordViewModel> {
 public:
  // Swift `init(withEmail:)`. Nothing is sent.
  explicit ZTChangePasswordViewModel(std::string withEmail);

  std::shared_ptr<ZTChangePasswordView> delegate() const override { return delegate_.lock(); }
  const std::string& email() const override { return email_; }

  void setupDelegate(std::weak_ptr<ZTChangePasswordView> with) override;
  bool validatePasswords(const std::optional<std::string>& password,
                         const std::optional<std::string>& repeatePassword) override;
  bool validateVerificationCode(const std::string& code) override;
  // Posts the new password with the code, behind the loader.
  void changePassword(const std::string& password, const std::string& code) override;
  // Without a screen nothing at all; else the one password-reset request for the e-mail.
  void setupVerification(const std::shared_ptr<ZTVerificationCodeView>& view) override;

 private:
  void successChangePasswordHandler();
  void errorChangePasswordHandler(const Error& error);

  std::weak_ptr<ZTChangePasswordView> delegate_;
  std::string email_;
};

}  // namespace ZentrelSDK
