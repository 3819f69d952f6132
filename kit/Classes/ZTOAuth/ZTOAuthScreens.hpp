#pragma once

#include <functional>
#include <memory>
#include <string>

#include <Foundation/Result.hpp>

#include "ZTModalCodeVerification/ZTValidationError.hpp"
#include "ZTNetworkCore/ZTNetworkErrors.hpp"

// What the OAuth flow needs of the screens that are not the kit's own yet: the entrance
// (sign-in and sign-up) and the six-digit code screen. Their presenters implement these
// interfaces and are installed in ZTOAuthScreens; the flow and the host entry points reach
// those screens only through them.

namespace ZentrelSDK {

// The entrance screen's presenter. After a successful sign-in or sign-up the screen closes and
// the auth event ("AUTH_EVENT_NAME") is emitted.
class ZTEntrancePresenting {
 public:
  virtual ~ZTEntrancePresenting() = default;
  // Presents the entrance over the topmost view controller; false when there is none.
  virtual bool presentEntrance(bool enableBiometrics) = 0;
};

// The modal code screen's presenter: the completion gets the entered code, or a failure
// (ZTValidationError::cancelled when the user cancelled).
class ZTVerificationCodePresenting {
 public:
  using Completion = std::function<void(Foundation::Result<std::string, Error>)>;
  virtual ~ZTVerificationCodePresenting() = default;
  virtual void sendVerificationCodeAndShowModal(Completion completion) = 0;
};

// The installed presenters; absent until the screens (or a host or test) install theirs.
// Safe to use from any thread.
class ZTOAuthScreens {
 public:
  static void setEntrancePresenter(std::shared_ptr<ZTEntrancePresenting> presenter);
  static std::shared_ptr<ZTEntrancePresenting> entrancePresenter();
  static void setVerificationCodePresenter(std::shared_ptr<ZTVerificationCodePresenting> presenter);
  static std::shared_ptr<ZTVerificationCodePresenting> verificationCodePresenter();
};

}  // namespace ZentrelSDK
