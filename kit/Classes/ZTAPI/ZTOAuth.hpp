#pragma once

#include <functional>
#include <string>
#include <vector>

#include <Foundation/Result.hpp>

#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthConsentRedirectResponse.hpp"
#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthConsentResponse.hpp"
#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthLoginRedirectResponse.hpp"
#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthLoginResponse.hpp"
#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthTokenResponse.hpp"
#include "ZTNetworkCore/ZTNetworkErrors.hpp"
#include "ZTNetworkCore/ZTResponse.hpp"

namespace ZentrelSDK {

// The identity server's OAuth endpoints. Stateless: each call hands its outcome to exactly one
// of its callbacks, once, on the main queue (a redirect follow-up that succeeds calls none),
// or at once on the calling thread when the request cannot be built. Failures are message
// texts.
class ZTOAuth {
 public:
  using ErrorEvent = std::function<void(const std::string&)>;

  ZTOAuth() = default;

  // GET /oauth/auth with client_id, state, response_type, code_challenge and
  // code_challenge_method in the query (`scopes` is not sent). Only a 302 succeeds, with
  // "Recognition started"; its body is never read.
  static void auth(const std::string& clientId, const std::vector<std::string>& scopes,
                   const std::string& state, const std::string& codeChallenge,
                   const std::string& responseType, const std::string& codeChallengeMethod,
                   std::function<void(const std::string&)> success, ErrorEvent errorEvent);

  // GET /oauth/login?challenge= with the session token.
  static void login(const std::string& loginChallenge,
                    std::function<void(const ZTOAuthLoginResponse&)> success,
                    ErrorEvent errorEvent);
  // POST /oauth/login with the user's code and the session token.
  static void login(const std::string& code, const std::string& loginChallenge,
                    std::function<void(const ZTOAuthLoginRedirectResponse&)> success,
                    ErrorEvent errorEvent);

  // GET /oauth/consent/<challenge> with the session token; the challenge travels as one
  // percent-encoded path segment. The answer object is read key by key.
  static void consent(const std::string& consentChallenge,
                      std::function<void(const ZTOAuthConsentResponse&)> success,
                      ErrorEvent errorEvent);
  // POST /oauth/consent granting `scopes`, in their order, with the session token.
  static void consent(const std::string& consentChallenge, const std::vector<std::string>& scopes,
                      std::function<void(const ZTOAuthConsentRedirectResponse&)> success,
                      ErrorEvent errorEvent);

  // Form POST /oauth/token, cookies left out (`scopes` is not sent).
  static void token(const std::string& code, const std::string& clientId,
                    const std::vector<std::string>& scopes, const std::string& grantType,
                    const std::string& codeVerifier,
                    std::function<void(const ZTOAuthTokenResponse&)> success,
                    ErrorEvent errorEvent);

  // GET of a URL the server handed back, expecting the server to redirect it: the redirect
  // listener reads the redirect and the request ends with it, which is success (no callback).
  // Any other answer is a failure; a 200 means the server did not move the flow on.
  static void makeRequest(const std::string& url, ErrorEvent errorEvent);

 private:
  static void consentAnswer(const Foundation::Result<ZTResponse, Error>& result,
                            const std::function<void(const ZTOAuthConsentResponse&)>& success,
                            const ErrorEvent& errorEvent);
};

}  // namespace ZentrelSDK
