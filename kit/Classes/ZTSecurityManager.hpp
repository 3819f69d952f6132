#pragma once

#include <functional>
#include <optional>
#include <string>

namespace ZentrelSDK {

// Host entry: sets the kit up, and opens the six-digit code screen.
class ZTSecurityManager {
 public:
  ZTSecurityManager() = default;

  // Keeps the application identifier (the OAuth client id); the OAuth core is created from it
  // at its first use. Call before any request that needs permission.
  static void initialOAuth(const std::string& appId);

  // Shows the six-digit code card: the completion gets true and the entered code, or false
  // with the failure's text; a cancelled card gives false without a text, and so does a
  // missing topmost controller (on a later turn of the main queue). Main thread only.
  static void beginVerificationFlow(
      std::function<void(bool, const std::optional<std::string>&)> completion);
};

}  // namespace ZentrelSDK
