#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ZTUIComponents/ZTVerificationCode/VerificationModel.hpp"

namespace ZentrelSDK {

// The verification view model of the password-reset road. Its channel is always e-mail. It
// begins the reset session (the server then sends the code), resends codes through the
// sign-in code request, and answers a too-many-requests reset with a 60-second wait block
// for its screen. Request answers hold it weakly: one that comes after it has gone has no
// effect, but a loader its request started is still taken down. Hold it by std::shared_ptr.
// Main thread only.
class ZTResetPassVerificationModel
    : public VerificationModel,
      public std::enable_shared_from_this<ZTResetPassVerificationModel> {
 public:
  // Swift `init(for:)`. Nothing is sent.
  explicit ZTResetPassVerificationModel(std::weak_ptr<NeedVerification> delegate);

  std::shared_ptr<NeedVerification> delegate() const override { return delegate_.lock(); }
  AuthType authType() const override { return authType_; }
  // Stays none: the channel is never decided anew.
  const std::optional<std::vector<Action>>& authTypeDidChangeActions() const override {
    return authTypeDidChangeActions_;
  }
  const std::optional<std::string>& email() const override { return email_; }

  void setEmail(const std::string& email) override;
  // Without an e-mail an error alert; the e-mail is not validated here.
  void resendCode(bool hideLoader = false) override;
  void verificationFinished(const std::string& code) override;
  // Keeps nothing: no step of this model would ever run it.
  void addActionOnAuthTypeChanging(Action action) override;
  // Hands the screen a 60-second wait block that removes itself at its end.
  void handleTooManyRequests() override;

  // The password-reset request for `email`; nothing at all when that is no valid address.
  void beginResetSession();

  // Seconds the user waits after too many requests.
  static constexpr std::int64_t waitSeconds = 60;

 private:
  void successHandler();
  void errorHandler(const std::string& error);

  std::weak_ptr<NeedVerification> delegate_;
  AuthType authType_ = AuthType::email;
  std::optional<std::vector<Action>> authTypeDidChangeActions_;
  std::optional<std::string> email_;
};

}  // namespace ZentrelSDK
