#pragma once

#include <memory>
#include <optional>
#include <string>

#include "ZTAPI/ResponceDataModel/Auth/ZTAuthTokenResponse.hpp"
#include "ZTAuth/Login/ZTLoginModel.hpp"

namespace ZentrelSDK {

// The login page's logic: the order of its steps, the checks of e-mail and password, the
// token request with the code, biometric sign-in with the token kept in the keychain, and
// keeping the session token. Request answers hold it weakly; one that comes after it has gone
// only takes the loader down. Main thread only.
class ZTLoginViewModel : public ZTLoginModel,
                         public std::enable_shared_from_this<ZTLoginViewModel> {
  struct Token {};

 public:
  // Swift `init(for:)`. On a device without biometry the delegate is shown the e-mail step
  // before this returns.
  static std::shared_ptr<ZTLoginViewModel> make(std::weak_ptr<ZTLoginController> delegate);
  ZTLoginViewModel(Token, std::weak_ptr<ZTLoginController> delegate);

  std::shared_ptr<ZTLoginController> delegate() const override { return delegate_.lock(); }
  ZTLoginStep loginStep() const override { return loginStep_; }

  // One step on, shown by the delegate; in the code step it asks the delegate to log in.
  void goToNextStep() override;
  void logIn(const std::string& email, const std::string& password,
             const std::string& verificationCode, AuthType authType) override;
  // "faceId" for Face ID, else "touchId".
  std::string getBioLoginImageName() override;
  // Reads the kept token behind the biometric prompt and checks it with the server.
  void bioLogIn() override;
  bool emailIsValid(const std::string& email) override;
  bool passwordIsValid(const std::string& password) override;

  static constexpr const char* sessionExpiredText = "Session has expired. Log in again";

 private:
  void validateAuth(const std::string& token);
  void successLoginHandler(const ZTAuthTokenResponse& response);
  void endLogin(const std::optional<std::string>& token, bool isBase64);
  void updateBioToken(const std::optional<std::string>& token);
  void errorHandler(const std::string& error);
  void checkBioAuth();

  std::weak_ptr<ZTLoginController> delegate_;
  ZTLoginStep loginStep_ = ZTLoginStep::signInWithBioAuth;
};

}  // namespace ZentrelSDK
