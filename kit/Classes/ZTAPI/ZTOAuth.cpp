#include "ZTAPI/ZTOAuth.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTAPI/ZTRequestManager.hpp"
#include "ZTLogger.hpp"
#include "ZTNetworkCore/ZTOAuthRequestBodies.hpp"
#include "ZTTokenUtilites.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

namespace {

constexpr const char* kSomethingWentWrong = "Something went wrong";

// Calls the one callback that fits a decoded answer.
template <class T>
auto handing(std::function<void(const T&)> success, ZTOAuth::ErrorEvent errorEvent) {
  return [success = std::move(success),
          errorEvent = std::move(errorEvent)](Foundation::Result<T, Error> result) {
    if (result.isFailure()) {
      if (errorEvent) errorEvent(result.error().localizedDescription());
      return;
    }
    if (success) success(result.value());
  };
}

bool isRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

void ZTOAuth::auth(const std::string& clientId, const std::vector<std::string>& /*scopes*/,
                   const std::string& state, const std::string& codeChallenge,
                   const std::string& responseType, const std::string& codeChallengeMethod,
                   std::function<void(const std::string&)> success, ErrorEvent errorEvent) {
  const OAuthRequestBodyAuth body(clientId, state, responseType, codeChallenge,
                                  codeChallengeMethod);
  ZTRequestManager::shared()->runExpectingAnyAnswer(
      std::nullopt, std::string(), ZTConstants::getOAuthAuthPath(), ZTHTTPMethod::get,
      /*clearCookie=*/false, body,
      [success = std::move(success),
       errorEvent = std::move(errorEvent)](Foundation::Result<ZTResponse, Error> result) {
        if (result.isFailure()) {
          if (errorEvent) errorEvent(result.error().localizedDescription());
        } else if (result.value().statusCode == 302) {
          if (success) success("Recognition started");
        } else if (errorEvent) {
          errorEvent(kSomethingWentWrong);
        }
      });
}

void ZTOAuth::login(const std::string& loginChallenge,
                    std::function<void(const ZTOAuthLoginResponse&)> success,
                    ErrorEvent errorEvent) {
  ZTRequestManager::shared()->runExpectingSuccessAnswer<ZTOAuthLoginResponse>(
      ZTTokenUtilites::shared()->getToken(), std::string(), ZTConstants::getOAuthLoginPath(),
      ZTHTTPMethod::get, /*clearCookie=*/false, OAuthRequestBodyGetLogin(loginChallenge),
      handing(std::move(success), std::move(errorEvent)));
}

void ZTOAuth::login(const std::string& code, const std::string& loginChallenge,
                    std::function<void(const ZTOAuthLoginRedirectResponse&)> success,
                    ErrorEvent errorEvent) {
  ZTRequestManager::shared()->runExpectingSuccessAnswer<ZTOAuthLoginRedirectResponse>(
      ZTTokenUtilites::shared()->getToken(), std::string(), ZTConstants::getOAuthLoginPath(),
      ZTHTTPMethod::post, /*clearCookie=*/false, OAuthRequestBodyPostLogin(code, loginChallenge),
      handing(std::move(success), std::move(errorEvent)));
}

void ZTOAuth::consent(const std::string& consentChallenge,
                      std::function<void(const ZTOAuthConsentResponse&)> success,
                      ErrorEvent errorEvent) {
  const auto url = ZTConstants::getOAuthConsentPath(consentChallenge);
  ZTRequestManager::shared()->runExpectingAnyAnswer(
      ZTTokenUtilites::shared()->getToken(), std::string(), url, ZTHTTPMethod::get,
      /*clearCookie=*/false, EmptyBody(),
      [success = std::move(success),
       errorEvent = std::move(errorEvent)](Foundation::Result<ZTResponse, Error> result) {
        consentAnswer(result, success, errorEvent);
      });
}

void ZTOAuth::consentAnswer(const Foundation::Result<ZTResponse, Error>& result,
                            const std::function<void(const ZTOAuthConsentResponse&)>& success,
                            const ErrorEvent& errorEvent) {
  const auto fail = [&](const std::string& message) {
    if (errorEvent) errorEvent(message);
  };
  if (result.isFailure()) return fail(result.error().localizedDescription());
  const ZTResponse& response = result.value();
  if (response.statusCode != 200)
    return fail(ZTNetworkError::statusCodeIsNot200(response.statusCode).localizedDescription());
  // Zero bytes are data that does not parse, not missing data.
  if (!response.data) return fail(ZTNetworkError::dataIsEmpty().localizedDescription());

  const auto decodingError = ZTNetworkError::decodingError().localizedDescription();
  auto parsed = Foundation::parseJSON(Foundation::Bytes(*response.data));
  if (parsed.isFailure() || !parsed.value().is_object()) return fail(decodingError);
  const nlohmann::json& object = parsed.value();

  const auto skip = object.find("skip");
  const auto redirectURL = object.find("redirect_url");
  const auto requestURL = object.find("request_url");
  const auto requested = object.find("requested_scope");
  if (requestURL == object.end() || !requestURL->is_string()) return fail(decodingError);
  if (requested == object.end() || !requested->is_array()) return fail(decodingError);
  std::vector<std::string> scopes;
  for (const auto& scope : *requested) {
    if (!scope.is_string()) return fail(decodingError);
    scopes.push_back(scope.get<std::string>());
  }
  const bool skipping = skip != object.end() && skip->is_boolean() && skip->get<bool>();
  std::optional<std::string> urlWhileSkipping;
  if (redirectURL != object.end() && redirectURL->is_string())
    urlWhileSkipping = redirectURL->get<std::string>();

  if (success)
    success(ZTOAuthConsentResponse(std::move(scopes), skipping, requestURL->get<std::string>(),
                                   std::move(urlWhileSkipping)));
}

void ZTOAuth::consent(const std::string& consentChallenge, const std::vector<std::string>& scopes,
                      std::function<void(const ZTOAuthConsentRedirectResponse&)> success,
                      ErrorEvent errorEvent) {
  ZTRequestManager::shared()->runExpectingSuccessAnswer<ZTOAuthConsentRedirectResponse>(
      ZTTokenUtilites::shared()->getToken(), std::string(), ZTConstants::getOAuthConsentPath(),
      ZTHTTPMethod::post, /*clearCookie=*/false, OAuthRequestBodyConsent(consentChallenge, scopes),
      handing(std::move(success), std::move(errorEvent)));
}

void ZTOAuth::token(const std::string& code, const std::string& clientId,
                    const std::vector<std::string>& /*scopes*/, const std::string& grantType,
                    const std::string& codeVerifier,
                    std::function<void(const ZTOAuthTokenResponse&)> success,
                    ErrorEvent errorEvent) {
  ZTRequestManager::shared()->runPostWithUrlEncoded<ZTOAuthTokenResponse>(
      std::nullopt, std::string(), ZTConstants::getOAuthTokenPath(), /*clearCookie=*/true,
      OAuthRequestBodyToken(code, clientId, grantType, codeVerifier),
      handing(std::move(success), std::move(errorEvent)));
}

void ZTOAuth::makeRequest(const std::string& url, ErrorEvent errorEvent) {
  ZTRequestManager::shared()->runExpectingAnyAnswer(
      std::nullopt, std::string(), url, ZTHTTPMethod::get, /*clearCookie=*/false, EmptyBody(),
      [errorEvent = std::move(errorEvent)](Foundation::Result<ZTResponse, Error> result) {
        const auto fail = [&](const std::string& message) {
          if (errorEvent) errorEvent(message);
        };
        if (result.isFailure()) return fail(result.error().localizedDescription());
        const int status = result.value().statusCode;
        if (isRedirect(status)) {
          ZTLogger::networkLog("success OAuth request");
        } else if (status == 200) {
          fail(kSomethingWentWrong);
        } else if (status == 401) {
          fail(ZTNetworkError::unauthorized().localizedDescription());
        } else {
          fail(ZTNetworkError::statusCodeIsNot200(status).localizedDescription());
        }
      });
}

}  // namespace ZentrelSDK
