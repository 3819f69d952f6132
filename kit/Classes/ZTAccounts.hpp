#pragma once

#include <functional>

namespace ZentrelSDK {

// Host entry: the sign-in screens and signing out.
class ZTAccounts {
 public:
  ZTAccounts() = default;

  // Presents the entrance screen (sign-in and sign-up) over the topmost controller; a caller
  // that comes while it is up joins it. The completion, on the main queue, gets true once the
  // user has signed in (one auth event answers every waiting caller), false when the entrance
  // goes away without a sign-in. Without a topmost controller nothing is shown, the completion gets
  // false at once and the result is false. `enableBiometrics` has no effect. Main thread only.
  static bool auth(bool enableBiometrics = false, std::function<void(bool)> completion = nullptr);

  // Forgets the session and access tokens, every cookie and the PKCE pair; no request is sent.
  static void logout();
};

}  // namespace ZentrelSDK
