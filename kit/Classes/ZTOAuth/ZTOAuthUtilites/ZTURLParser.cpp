#include "ZTOAuth/ZTOAuthUtilites/ZTURLParser.hpp"

#include <algorithm>

#include <Foundation/URLComponents.hpp>

#include "ZTEvents.hpp"
#include "ZTExtensions/ZTURLExtension.hpp"

namespace ZentrelSDK {

std::optional<std::string> ZTURLParser::item(const std::optional<Foundation::URL>& url,
                                             const std::string& name) {
  if (!url) return std::nullopt;
  // An authorization server reports a refusal as `error` (RFC 6749 4.1.2.1); one without a
  // value is a refusal all the same.
  if (hasItem(*url, "error")) return std::nullopt;
  return valueOf(*url, name);
}

bool ZTURLParser::hasItem(const Foundation::URL& url, const std::string& name) {
  const auto components = Foundation::URLComponents::string(url.absoluteString());
  const auto items = components ? components->queryItems() : std::nullopt;
  if (!items) return false;
  return std::any_of(items->begin(), items->end(),
                     [&](const auto& item) { return item.name == name; });
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
  // The server always echoes the state: a code without it is as foreign as one with another.
  if (code && (!expectedState || valueOf(*url, "state") != expectedState)) code.reset();
  ZTEvents::shared()->oauthCodeEventEmit(std::move(code));
}

}  // namespace ZentrelSDK
