#pragma once

#include <functional>

namespace ZentrelSDK {

// Host entry: the sign-in screens and signing out.
class ZTAccounts {
 public:
  ZTAccounts() = default;

  // Presents the entrance screen (sign-in and sign-up) over the topmost controller; a caller
  // that comes while it is up (or only covered) joins it, one that comes once it began to
  // leave gets a new entrance. The completion, on the main queue, gets true once the user has
  // signed in on its entrance and it has closed, false when that entrance goes away without a
  // sign-in (dismissed, out of the window, released). Without a topmost controller nothing is
  // shown, the completion gets false at once and the result is false. `enableBiometrics` has no
  // effect. Main thread only.
  static bool auth(bool enableBiometrics = false, std::function<void(bool)> completion = nullptr);

  // Forgets the session and access tokens, every cookie and the PKCE pair; no request is sent.
  static void logout();
};

}  // namespace ZentrelSDK
