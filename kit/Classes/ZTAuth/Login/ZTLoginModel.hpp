#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ZTUIComponents/ZTVerificationCode/AuthType.hpp"

namespace ZentrelSDK {

// The steps of the login page, in the only order they are taken.
enum class ZTLoginStep {
  signInWithBioAuth = 0,
  enteringEmail = 1,
  enteringPassword = 2,
  enteringVerificationCode = 3,
};

enum class ZTBioAuthType { touchId, faceId };

// What the login view model asks of its screen. Main thread only.
class ZTLoginController {
 public:
  virtual ~ZTLoginController() = default;

  virtual void showStep(ZTLoginStep step) = 0;
  // Collects e-mail, password, code and channel and asks the model to log in.
  virtual void tryToLogin() = 0;
  // Closes the login screens and runs `action` afterwards.
  virtual void didLoginSuccessfully(std::function<void()> action) = 0;
};

// What the login screen asks of its view model. Main thread only.
class ZTLoginModel {
 public:
  virtual ~ZTLoginModel() = default;

  virtual std::shared_ptr<ZTLoginController> delegate() const = 0;
  virtual ZTLoginStep loginStep() const = 0;
  virtual void goToNextStep() = 0;
  virtual std::string getBioLoginImageName() = 0;
  virtual void bioLogIn() = 0;
  virtual bool emailIsValid(const std::string& email) = 0;
  virtual bool passwordIsValid(const std::string& password) = 0;
  virtual void logIn(const std::string& email, const std::string& password,
                     const std::string& verificationCode, AuthType authType) = 0;
};

}  // namespace ZentrelSDK
