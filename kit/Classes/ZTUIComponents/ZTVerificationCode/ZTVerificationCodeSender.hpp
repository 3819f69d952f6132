#pragma once

#include <functional>
#include <memory>
#include <string>

namespace ZentrelSDK {

// The code request and the error display that the verification view models share. Main
// thread only.
class ZTVerificationCodeSender {
 public:
  // Asks the identity server to send the sign-in code to `email`, once the loader is up
  // unless `hideLoader`. The handlers run only while `owner` lives, which is held for the
  // call; when it has gone, a loader this request put up comes down all the same.
  static void sendCode(std::weak_ptr<void> owner, const std::string& email, bool hideLoader,
                       std::function<void()> success,
                       std::function<void(const std::string& error)> failure);
  // Takes the loader down (whether one is up or not), then shows the error alert.
  static void showError(const std::string& error);
};

}  // namespace ZentrelSDK
