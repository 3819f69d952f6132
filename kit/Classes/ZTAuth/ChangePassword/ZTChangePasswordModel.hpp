#pragma once

#include <memory>
#include <optional>
#include <string>

#include "ZTUIComponents/ZTVerificationCode/NeedVerification.hpp"

namespace ZentrelSDK {

class ZTVerificationCodeView;

// What the password reset view model tells its screen. Main thread only.
class ZTChangePasswordView : public NeedVerification {
 public:
  // The new password was accepted.
  virtual void didChangeCodeSuccessfully() = 0;
  // The confirmation failed, with the failure's text.
  virtual void didGetError(const std::string& error) = 0;
};

// What the password reset screen asks of its view model. Main thread only.
class ZTChangePasswordModel {
 public:
  virtual ~ZTChangePasswordModel() = default;

  virtual std::shared_ptr<ZTChangePasswordView> delegate() const = 0;
  virtual const std::string& email() const = 0;
  virtual void setupDelegate(std::weak_ptr<ZTChangePasswordView> with) = 0;
  // The new password is acceptable and repeated exactly.
  virtual bool validatePasswords(const std::optional<std::string>& password,
                                 const std::optional<std::string>& repeatePassword) = 0;
  virtual bool validateVerificationCode(const std::string& code) = 0;
  virtual void changePassword(const std::string& password, const std::string& code) = 0;
  // Begins the reset session and joins the code view to it.
  virtual void setupVerification(const std::shared_ptr<ZTVerificationCodeView>& view) = 0;
};

}  // namespace ZentrelSDK
