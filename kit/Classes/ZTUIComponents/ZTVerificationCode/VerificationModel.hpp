#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ZTUIComponents/ZTVerificationCode/AuthType.hpp"
#include "ZTUIComponents/ZTVerificationCode/NeedVerification.hpp"

namespace ZentrelSDK {

// What the code block and the screens ask of a verification view model. Implementations are
// held by std::shared_ptr and hold their screen weakly. Main thread only.
class VerificationModel {
 public:
  using Action = std::function<void()>;

  virtual ~VerificationModel() = default;

  // The screen that hears of code changes; null once it has gone.
  virtual std::shared_ptr<NeedVerification> delegate() const = 0;
  virtual AuthType authType() const = 0;
  // Run in the order they were added, each time the channel has been decided.
  virtual const std::optional<std::vector<Action>>& authTypeDidChangeActions() const = 0;
  // Where the codes go.
  virtual const std::optional<std::string>& email() const = 0;
  // Nothing is sent or checked.
  virtual void setEmail(const std::string& email) = 0;
  // Asks for a new code; `hideLoader` true shows no loader around the request.
  virtual void resendCode(bool hideLoader) = 0;
  // The entry's whole content after every change.
  virtual void verificationFinished(const std::string& code) = 0;
  virtual void addActionOnAuthTypeChanging(Action action) = 0;
  // The code request was answered with too many requests.
  virtual void handleTooManyRequests() = 0;
};

}  // namespace ZentrelSDK
