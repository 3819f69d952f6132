#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ZTUIComponents/ZTVerificationCode/NeedVerification.hpp"

namespace ZentrelSDK {

// The steps the verification view models share: the code request, the error display and the
// report of the entered code. Main thread only.
class ZTVerificationModelSteps {
 public:
  // Asks the identity server to send the sign-in code to `email`, once the loader is up
  // unless `hideLoader`; without an e-mail, `failure` hears so at once. The handlers run only
  // while `owner` lives, which is held for the call; when it has gone, a loader this request
  // put up comes down all the same.
  static void sendCode(std::weak_ptr<void> owner, const std::optional<std::string>& email,
                       bool hideLoader, std::function<void()> success,
                       std::function<void(const std::string& error)> failure);
  // Takes the loader down (whether one is up or not), then shows the error alert.
  static void showError(const std::string& error);
  // Tells the screen, if it is still there, the code and whether it is complete and valid.
  static void reportCode(const std::shared_ptr<NeedVerification>& screen, const std::string& code);
};

}  // namespace ZentrelSDK
