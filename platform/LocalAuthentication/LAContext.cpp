#include "LocalAuthentication/LAContext.hpp"

#include <algorithm>

#include "LocalAuthentication/SimulatedDevice.hpp"

namespace LocalAuthentication {

LAContext::LAContext() : replyQueue_("com.apple.LocalAuthentication.reply") {}

bool LAContext::canEvaluatePolicy(LAPolicy policy, std::optional<LAError>* error) {
  auto& device = SimulatedDevice::shared();
  biometryType_.store(device.settings().biometry);
  if (auto refusal = device.refusal(policy)) {
    if (error) *error = refusal;
    return false;
  }
  return true;
}

void LAContext::evaluatePolicy(LAPolicy policy, std::string localizedReason, Reply reply) {
  // Only copies go to the queue: the reply may come after this context is gone.
  replyQueue_.async([policy, reason = std::move(localizedReason), reply = std::move(reply)] {
    auto& device = SimulatedDevice::shared();
    std::optional<LAError> error = device.refusal(policy);
    if (!error) error = device.present({policy, reason});
    if (reply) reply(!error.has_value(), error);
  });
}

void LAContext::setTouchIDAuthenticationAllowableReuseDuration(Foundation::TimeInterval seconds) {
  // NaN and negatives mean no reuse.
  reuseDuration_.store(
      seconds > 0 ? std::min(seconds, LATouchIDAuthenticationMaximumAllowableReuseDuration) : 0.0);
}

}  // namespace LocalAuthentication
