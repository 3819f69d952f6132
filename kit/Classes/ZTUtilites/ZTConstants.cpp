#include "ZTUtilites/ZTConstants.hpp"

#include <Foundation/CharacterSet.hpp>

namespace ZentrelSDK {

namespace {

constexpr std::string_view kProductionIdentityServer = "https://id.zentrel.com";
constexpr std::string_view kProductionAPIServer = "https://api.zentrel.com";
constexpr std::string_view kDevelopmentIdentityServer = "https://id.dev.zentrel.com";
constexpr std::string_view kDevelopmentAPIServer = "https://api.dev.zentrel.com";

constexpr std::string_view IDENTITY_API_VERSION = "/api/v1.1";
constexpr std::string_view API_VERSION = "/v1";

constexpr std::string_view AUTH = "/auth";
constexpr std::string_view AUTH_CHECK = "/auth/check";
constexpr std::string_view AUTH_CODE_SEND = "/auth/code";
constexpr std::string_view AUTH_TOKEN = "/auth/token";
constexpr std::string_view AUTH_PASSWORD_CHECK = "/regular-password/check";
constexpr std::string_view AUTH_PASSWORD_RESET = "/regular-password/reset";
constexpr std::string_view AUTH_PASSWORD_CONFIRM = "/regular-password/reset/confirm";
constexpr std::string_view AUTH_OTP_RESET = "/auth/recover";
constexpr std::string_view AUTH_SIGN_UP = "/auth/signup";
constexpr std::string_view DOCUMENT_GET_ALL_CURRENT_USER_DOCUMENTS = "/documents";
constexpr std::string_view DOCUMENT_GET_DOCUMENT_FROM_ID = "/documents/%@";
constexpr std::string_view DOCUMENT_GET_FRONT_DOCUMENT_FROM_ID = "/documents/%@/front/file";
constexpr std::string_view DOCUMENT_GET_BACK_DOCUMENT_FROM_ID = "/documents/%@/back/file";
constexpr std::string_view DOCUMENT_GET_DOCUMENT_STATUS_LOG_FROM_ID = "/documents/%@/status/log";
constexpr std::string_view DOCUMENT_CREATE_CURRENT_USER_DOCUMENT = "/documents";
constexpr std::string_view DOCUMENT_VALIDATE = "/documents/file/check";
constexpr std::string_view DOCUMENT_LOAD_FRONT = "/documents/%@/front";
constexpr std::string_view DOCUMENT_LOAD_BACK = "/documents/%@/back";
constexpr std::string_view DOCUMENT_LOAD_CONFIRM = "/documents/%@/confirm";
constexpr std::string_view DOCUMENT_LOAD_STATUS = "/documents/status/upload";
constexpr std::string_view DOCUMENT_DELETE = "/documents/%@";
constexpr std::string_view USER_SETTINGS = "/settings";
constexpr std::string_view OAUTH_AUTH = "/oauth/auth";
constexpr std::string_view OAUTH_LOGIN = "/oauth/login";
constexpr std::string_view OAUTH_CONSENT = "/oauth/consent";
constexpr std::string_view OAUTH_TOKEN = "/oauth/token";
constexpr std::string_view APPS_DOCKS_REQUIRED = "/apps/%@/documents/required";

constexpr std::string_view kPlaceholder = "%@";

}  // namespace

std::string ZTConstants::IDENTITY_SERVER_URL() {
  return std::string(enableDevServer.load() ? kDevelopmentIdentityServer
                                            : kProductionIdentityServer);
}

std::string ZTConstants::API_SERVER_URL() {
  return std::string(enableDevServer.load() ? kDevelopmentAPIServer : kProductionAPIServer);
}

std::string ZTConstants::identityURL(std::string_view path) {
  std::string url = IDENTITY_SERVER_URL();
  url += IDENTITY_API_VERSION;
  url += path;
  return url;
}

// Only RFC 3986 unreserved characters stay: "/", "?", "#" and "%" in an id are data and must
// not reach another path or endpoint. "", "." and ".." would name another path, so they give
// the empty text, which every request refuses as a wrong URL before sending anything.
std::optional<std::string> ZTConstants::pathSegment(const std::string& id) {
  if (id.empty() || id == "." || id == "..") return std::nullopt;
  static const auto allowed = Foundation::CharacterSet::alphanumerics().unioning(
      Foundation::CharacterSet::charactersIn("-._~"));
  return Foundation::addingPercentEncoding(id, allowed);
}

// The id goes in by plain replacement: an id is data, never a format.
std::string ZTConstants::identityURL(std::string_view path, const std::string& id) {
  const auto segment = pathSegment(id);
  if (!segment) return {};
  std::string filled(path);
  if (const auto at = filled.find(kPlaceholder); at != std::string::npos) {
    filled.replace(at, kPlaceholder.size(), *segment);
  }
  return identityURL(filled);
}

std::string ZTConstants::getAuthPath() {
  return identityURL(AUTH);
}
std::string ZTConstants::getAuthCheckPath() {
  return identityURL(AUTH_CHECK);
}
std::string ZTConstants::getAuthCodeSendPath() {
  return identityURL(AUTH_CODE_SEND);
}
std::string ZTConstants::getAuthTokenPath() {
  return identityURL(AUTH_TOKEN);
}
std::string ZTConstants::getAuthPassCheckPath() {
  return identityURL(AUTH_PASSWORD_CHECK);
}
std::string ZTConstants::getAuthPassResetPath() {
  return identityURL(AUTH_PASSWORD_RESET);
}
std::string ZTConstants::getAuthPassConfirmPath() {
  return identityURL(AUTH_PASSWORD_CONFIRM);
}
std::string ZTConstants::getOtpResetPath() {
  return identityURL(AUTH_OTP_RESET);
}
std::string ZTConstants::getSignUpPath() {
  return identityURL(AUTH_SIGN_UP);
}
std::string ZTConstants::getDocumentsPath() {
  return identityURL(DOCUMENT_GET_ALL_CURRENT_USER_DOCUMENTS);
}
std::string ZTConstants::getDocumentPath(const std::string& id) {
  return identityURL(DOCUMENT_GET_DOCUMENT_FROM_ID, id);
}
std::string ZTConstants::getDocumentFrontPath(const std::string& id) {
  return identityURL(DOCUMENT_GET_FRONT_DOCUMENT_FROM_ID, id);
}
std::string ZTConstants::getDocumentBackPath(const std::string& id) {
  return identityURL(DOCUMENT_GET_BACK_DOCUMENT_FROM_ID, id);
}
std::string ZTConstants::getDocumentStatusLogPath(const std::string& id) {
  return identityURL(DOCUMENT_GET_DOCUMENT_STATUS_LOG_FROM_ID, id);
}
std::string ZTConstants::getDocumentCreatePath() {
  return identityURL(DOCUMENT_CREATE_CURRENT_USER_DOCUMENT);
}
std::string ZTConstants::getDocumentFileValidatePath() {
  return identityURL(DOCUMENT_VALIDATE);
}
std::string ZTConstants::getDocumentLoadFrontPath(const std::string& id) {
  return identityURL(DOCUMENT_LOAD_FRONT, id);
}
std::string ZTConstants::getDocumentLoadBackPath(const std::string& id) {
  return identityURL(DOCUMENT_LOAD_BACK, id);
}
std::string ZTConstants::getDocumentConfirmPath(const std::string& id) {
  return identityURL(DOCUMENT_LOAD_CONFIRM, id);
}
std::string ZTConstants::getDocumentLoadStatusPath() {
  return identityURL(DOCUMENT_LOAD_STATUS);
}
std::string ZTConstants::getDocumentDeletePath(const std::string& id) {
  return identityURL(DOCUMENT_DELETE, id);
}
std::string ZTConstants::getUserSettingsPath() {
  return identityURL(USER_SETTINGS);
}
std::string ZTConstants::getOAuthAuthPath() {
  return identityURL(OAUTH_AUTH);
}
std::string ZTConstants::getOAuthLoginPath() {
  return identityURL(OAUTH_LOGIN);
}
std::string ZTConstants::getOAuthConsentPath() {
  return identityURL(OAUTH_CONSENT);
}
std::string ZTConstants::getOAuthConsentPath(const std::string& consent_challenge) {
  const auto segment = pathSegment(consent_challenge);
  if (!segment) return {};
  return identityURL(OAUTH_CONSENT) + "/" + *segment;
}
std::string ZTConstants::getOAuthTokenPath() {
  return identityURL(OAUTH_TOKEN);
}
std::string ZTConstants::getAppsDockRequiredPath(const std::string& id) {
  return identityURL(APPS_DOCKS_REQUIRED, id);
}

std::string ZTConstants::getZentrelAPIFullPath(const std::string& endpoint) {
  std::string url = API_SERVER_URL();
  url += API_VERSION;
  url += endpoint;
  return url;
}

std::string rawValue(ZTConstants::ChallengeType type) {
  switch (type) {
    case ZTConstants::ChallengeType::emailLink:
      return "emailLink";
    case ZTConstants::ChallengeType::otp:
      return "otp";
    case ZTConstants::ChallengeType::password:
      return "password";
    case ZTConstants::ChallengeType::sms:
      return "sms";
  }
  return "";
}

template <>
std::optional<ZTConstants::ChallengeType> fromRawValue(std::string_view text) {
  for (auto type : {ZTConstants::ChallengeType::emailLink, ZTConstants::ChallengeType::otp,
                    ZTConstants::ChallengeType::password, ZTConstants::ChallengeType::sms}) {
    if (rawValue(type) == text) return type;
  }
  return std::nullopt;
}

std::string typeNameForGetToken(ZTConstants::ChallengeType type) {
  if (type == ZTConstants::ChallengeType::sms)
    return rawValue(ZTConstants::ChallengeType::emailLink);
  return rawValue(type);
}

std::string rawValue(ZTConstants::ImageSide side) {
  switch (side) {
    case ZTConstants::ImageSide::front:
      return "front";
    case ZTConstants::ImageSide::back:
      return "back";
  }
  return "";
}

template <>
std::optional<ZTConstants::ImageSide> fromRawValue(std::string_view text) {
  for (auto side : {ZTConstants::ImageSide::front, ZTConstants::ImageSide::back}) {
    if (rawValue(side) == text) return side;
  }
  return std::nullopt;
}

}  // namespace ZentrelSDK
