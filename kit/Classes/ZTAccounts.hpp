#pragma once

#include <functional>

namespace ZentrelSDK {

// Host entry: the sign-in screens and signing out.
class ZTAccounts {
 public:
  ZTAccounts() = default;

  // Presents the entrance screen (sign-in and sign-up). With a completion, it gets true once
  // the user has signed in, false when the sign-in is cancelled. Returns false, calling
  // nothing, when the screen could not be presented. `enableBiometrics` has no effect.
  static bool auth(bool enableBiometrics = false, std::function<void(bool)> completion = nullptr);

  // Forgets the session and access tokens, every cookie and the PKCE pair; no request is sent.
  static void logout();
};

}  // namespace ZentrelSDK
