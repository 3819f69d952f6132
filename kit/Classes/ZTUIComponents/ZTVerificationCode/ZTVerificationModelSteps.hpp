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
  // unless `hideLoader`, and takes the loader down after the answer. A failure, the lack of
  // an e-mail included, goes to `failure`, which runs only while `owner` lives (it is held
  // for the call). When the owner has gone, only a loader this request put up comes down.
  static void sendCode(std::weak_ptr<void> owner, const std::optional<std::string>& email,
                       bool hideLoader, std::function<void(const std::string& error)> failure);
  // Takes the loader down (whether one is up or not), then shows the error alert.
  static void showError(const std::string& error);
  // Tells the screen, if it is still there, the code and whether it is complete and valid.
  static void reportCode(const std::shared_ptr<NeedVerification>& screen, const std::string& code);
};

}  // namespace ZentrelSDK
