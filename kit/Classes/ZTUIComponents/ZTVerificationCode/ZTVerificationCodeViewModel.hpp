#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ZTAPI/ResponceDataModel/Account/ZTAccountSettingsResponse.hpp"
#include "ZTAPI/ResponceDataModel/Auth/ZTCheckEmailResponse.hpp"
#include "ZTUIComponents/ZTVerificationCode/VerificationModel.hpp"

namespace ZentrelSDK {

// The verification view model of the sign-in roads: finds the user's code channel (from the
// account settings or from the e-mail check), has the identity server send a code when the
// channel needs one, resends on request and reports every change of the entered code to its
// screen. Request answers hold it weakly: one that comes after it has gone has no effect,
// but a loader its request started is still taken down. Main thread only.
class ZTVerificationCodeViewModel
    : public VerificationModel,
      public std::enable_shared_from_this<ZTVerificationCodeViewModel> {
  struct Token {};

 public:
  // Swift `init(for:)`: the channel comes from the signed-in session's account settings.
  static std::shared_ptr<ZTVerificationCodeViewModel> make(
      std::weak_ptr<NeedVerification> delegate);
  // Swift `init(for:email:hideLoader:)`: the channel comes from the e-mail check of `email`;
  // `hideLoader` true sends the first code without a loader.
  static std::shared_ptr<ZTVerificationCodeViewModel> make(std::weak_ptr<NeedVerification> delegate,
                                                           std::string email,
                                                           bool hideLoader = false);
  ZTVerificationCodeViewModel(Token, std::weak_ptr<NeedVerification> delegate,
                              std::optional<std::string> email);

  std::shared_ptr<NeedVerification> delegate() const override { return delegate_.lock(); }
  AuthType authType() const override { return authType_; }
  const std::optional<std::string>& email() const override { return email_; }
  const std::optional<std::vector<Action>>& authTypeDidChangeActions() const override {
    return authTypeDidChangeActions_;
  }

  void setEmail(const std::string& email) override;
  // Nothing for the authenticator channel; without an e-mail an error alert.
  void resendCode(bool hideLoader = false) override;
  void verificationFinished(const std::string& code) override;
  void addActionOnAuthTypeChanging(Action action) override;
  // This road shows no wait block.
  void handleTooManyRequests() override {}

 private:
  void getSettings();
  void checkEmail(bool hideLoader);
  void successGetUserSettingsHandler(const ZTAccountSettingsResponse& settings);
  void successCheckEmailHandler(const ZTCheckEmailResponse& response, bool hideLoader);
  void errorHandler(const std::string& error);
  void setEmailFromResponse(const ZTAccountSettingsResponse& settings);
  void fireViewCallbackOnTypeChange();

  std::weak_ptr<NeedVerification> delegate_;
  AuthType authType_ = AuthType::unknown;
  std::optional<std::string> email_;
  std::optional<std::vector<Action>> authTypeDidChangeActions_;
};

}  // namespace ZentrelSDK
