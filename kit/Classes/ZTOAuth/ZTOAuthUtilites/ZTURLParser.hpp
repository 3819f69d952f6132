#pragma once

#include <optional>
#include <string>

#include <Foundation/URL.hpp>

namespace ZentrelSDK {

// Reads the OAuth flow's next item from a redirect URL and emits it as the step's event. An
// event without payload means the redirect did not carry the item: it was missing, the server
// sent an `error`, or the `state` was not the flow's. The URL itself is never sent on.
class ZTURLParser {
 public:
  static void parseLoginChallenge(const std::optional<Foundation::URL>& url);
  static void parseConsentChallenge(const std::optional<Foundation::URL>& url);
  // The code counts only when the redirect carries `state` and it is `expectedState`.
  static void parseCode(const std::optional<Foundation::URL>& url,
                        const std::optional<std::string>& expectedState);

 private:
  static std::optional<std::string> item(const std::optional<Foundation::URL>& url,
                                         const std::string& name);
  static bool hasItem(const Foundation::URL& url, const std::string& name);
};

}  // namespace ZentrelSDK
