#include "ZTOAuth/ZTOAuthUtilites/ZTURLParser.hpp"

#include "ZTEvents.hpp"
#include "ZTExtensions/ZTURLExtension.hpp"

namespace ZentrelSDK {

std::optional<std::string> ZTURLParser::item(const std::optional<Foundation::URL>& url,
                                             const std::string& name) {
  if (!url) return std::nullopt;
  // An authorization server reports a refusal as `error` (RFC 6749 4.1.2.1).
  if (valueOf(*url, "error")) return std::nullopt;
  return valueOf(*url, name);
}

void ZTURLParser::parseLoginChallenge(const std::optional<Foundation::URL>& url) {
  ZTEvents::shared()->oauthLoginChallengeEventEmit(item(url, "login_challenge"));
}

void ZTURLParser::parseConsentChallenge(const std::optional<Foundation::URL>& url) {
  ZTEvents::shared()->oauthConsentChallengeEventEmit(item(url, "consent_challenge"));
}

void ZTURLParser::parseCode(const std::optional<Foundation::URL>& url,
                            const std::optional<std::string>& expectedState) {
  auto code = item(url, "code");
  if (code) {
    const auto state = valueOf(*url, "state");
    if (state && state != expectedState) code.reset();
  }
  ZTEvents::shared()->oauthCodeEventEmit(std::move(code));
}

}  // namespace ZentrelSDK
