#pragma once

#include <functional>
#include <memory>
#include <string>

#include <Foundation/Result.hpp>

#include "ZTModalCodeVerification/ZTModalView.hpp"
#include "ZTNetworkCore/ZTNetworkErrors.hpp"

namespace ZentrelSDK {

// What the code card sees of its view model.
class ZTModalVerificationModel {
 public:
  // The entered code, or why there is none (ZTValidationError when the user cancelled).
  using Completion = std::function<void(Foundation::Result<std::string, Error>)>;

  virtual ~ZTModalVerificationModel() = default;
  virtual std::shared_ptr<ZTModalView> delegate() const = 0;
  virtual const Completion& finalCompletion() const = 0;
  virtual void setDelegate(std::weak_ptr<ZTModalView> with) = 0;
  virtual bool verifyCode(const std::string& code) const = 0;
  // Close the card, then answer with the code, or with the cancellation.
  virtual void submit(const std::string& code) = 0;
  virtual void cancel() = 0;
};

}  // namespace ZentrelSDK
