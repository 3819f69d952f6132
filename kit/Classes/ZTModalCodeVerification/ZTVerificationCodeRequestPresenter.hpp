#pragma once

#include <memory>

#include "ZTModalCodeVerification/ZTModalVerificationModel.hpp"

namespace ZentrelSDK {

// Opens the six-digit code card for the OAuth flow. Main thread only.
class ZTVerificationCodeRequestPresenter {
 public:
  static const std::shared_ptr<ZTVerificationCodeRequestPresenter>& shared();

  // Presents the card over the topmost view controller, animated, over the current context
  // with a cross dissolve; the card sends the code itself. `completion` gets the entered code
  // or ZTValidationError::cancelled, once, after the card has gone; without a topmost
  // controller it gets the cancellation on a later turn of the main queue, so the flow ends
  // instead of waiting.
  void sendVerificationCodeAndShowModal(ZTModalVerificationModel::Completion completion);

  ZTVerificationCodeRequestPresenter() = default;
};

}  // namespace ZentrelSDK
