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

  // Shows the code screen: the completion gets true and the entered code, or false with the
  // failure's text; a cancelled screen gives false without a text. Without an installed code
  // presenter the completion gets false at once.
  static void beginVerificationFlow(
      std::function<void(bool, const std::optional<std::string>&)> completion);
};

}  // namespace ZentrelSDK
