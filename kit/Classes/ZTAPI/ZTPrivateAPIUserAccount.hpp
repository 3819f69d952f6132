#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ZTAPI/ResponceDataModel/Account/ZTAccountSettingsResponse.hpp"

namespace ZentrelSDK {

// Reads the signed-in user's account settings from the identity server. Stateless.
class ZTPrivateAPIUserAccount {
 public:
  ZTPrivateAPIUserAccount() = default;

  // GET /settings. `token` absent means the session token held in memory; any given text, the
  // empty one included, is sent as it is. Exactly one callback runs, once, on the main queue
  // (at once on the calling thread when the request cannot be built); an empty callback is
  // simply not called. errorEvent gets a text fit to show: "User is not logged in" for 401,
  // the generic text for any other status but 200, the decoder's text for an answer that does
  // not decode.
  static void getUserSettings(const std::optional<std::string>& token, bool clearCookie,
                              std::function<void(ZTAccountSettingsResponse)> success,
                              std::function<void(std::string)> errorEvent);
};

}  // namespace ZentrelSDK
