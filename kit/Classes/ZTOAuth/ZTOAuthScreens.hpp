#pragma once

#include <memory>

// What the OAuth flow needs of the screen that is not the kit's own yet: the entrance (sign-in
// and sign-up). Its presenter implements this interface and is installed in ZTOAuthScreens;
// the flow and the host entry points reach that screen only through it.

namespace ZentrelSDK {

// The entrance screen's presenter. After a successful sign-in or sign-up the screen closes and
// the auth event ("AUTH_EVENT_NAME") is emitted.
class ZTEntrancePresenting {
 public:
  virtual ~ZTEntrancePresenting() = default;
  // Presents the entrance over the topmost view controller; false when there is none.
  virtual bool presentEntrance(bool enableBiometrics) = 0;
};

// The installed presenters; absent until the screens (or a host or test) install theirs.
// Safe to use from any thread.
class ZTOAuthScreens {
 public:
  static void setEntrancePresenter(std::shared_ptr<ZTEntrancePresenting> presenter);
  static std::shared_ptr<ZTEntrancePresenting> entrancePresenter();
};

}  // namespace ZentrelSDK
