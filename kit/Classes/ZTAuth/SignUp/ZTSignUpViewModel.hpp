#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ZTAPI/ResponceDataModel/Auth/ZTAuthTokenResponse.hpp"
#include "ZTNetworkCore/ZTNetworkErrors.hpp"

namespace ZentrelSDK {

// The sign-up page's steps.
enum class ZTSignUpStep : int {
  enteringEmailAndPasswords = 0,
  enteringVerificationCode = 1,
  saveBioToken = 2,  // final; no operation of the model moves to it
};

// What the sign-up view model asks of its screen. Called on the main queue.
class ZTSignUpNewController {
 public:
  virtual ~ZTSignUpNewController() = default;
  virtual void showStep(ZTSignUpStep step) = 0;
  // Collects e-mail, password and code and asks the model to sign up.
  virtual void tryToSignUp() = 0;
  // Closes the sign-up screens, then runs `action`.
  virtual void didSignUpSuccessfully(std::function<void()> action) = 0;
  virtual void errorWithSignUp(const std::string& errorMessage) = 0;
};

// What the sign-up screen sees of its view model.
class ZTSignUpModel {
 public:
  virtual ~ZTSignUpModel() = default;
  virtual std::shared_ptr<ZTSignUpNewController> delegate() const = 0;
  virtual ZTSignUpStep signUpStep() const = 0;
  virtual bool emailIsValid(const std::string& email) const = 0;
  virtual bool passwordsMatch(const std::optional<std::string>& password,
                              const std::optional<std::string>& repeatePassword) const = 0;
  virtual bool verificationCodeIsValid(const std::optional<std::string>& code) const = 0;
  virtual void goToNextStep() = 0;
  virtual void signUp(const std::string& email, const std::string& password,
                      const std::string& verificationCode) = 0;
};

// The sign-up logic: the step machine, the input checks and the sign-up request, which keeps
// the session token (and a keychain copy for biometric sign-in) and hands the screen the
// user-did-enter action or the failure's text. Main thread only.
class ZTSignUpViewModel : public ZTSignUpModel,
                          public std::enable_shared_from_this<ZTSignUpViewModel> {
 public:
  // Swift `init(for:)`; the screen is held weakly.
  explicit ZTSignUpViewModel(std::weak_ptr<ZTSignUpNewController> delegate);

  std::shared_ptr<ZTSignUpNewController> delegate() const override { return delegate_.lock(); }
  ZTSignUpStep signUpStep() const override { return signUpStep_; }
  bool emailIsValid(const std::string& email) const override;
  // Both present, both valid passwords and equal.
  bool passwordsMatch(const std::optional<std::string>& password,
                      const std::optional<std::string>& repeatePassword) const override;
  bool verificationCodeIsValid(const std::optional<std::string>& code) const override;
  void goToNextStep() override;
  // An answer that comes after the model has gone only takes the loader down.
  void signUp(const std::string& email, const std::string& password,
              const std::string& verificationCode) override;

 private:
  void handleSuccessSignUp(const ZTAuthTokenResponse& authToken);
  void handleErrorSignUp(const std::string& description);

  std::weak_ptr<ZTSignUpNewController> delegate_;
  ZTSignUpStep signUpStep_ = ZTSignUpStep::enteringEmailAndPasswords;
};

}  // namespace ZentrelSDK
