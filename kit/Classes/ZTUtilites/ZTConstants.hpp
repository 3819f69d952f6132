#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <string_view>

namespace ZentrelSDK {

// Server choice, identity-server URLs and the names several parts of the kit share.
// Every URL reads `enableDevServer` when it is built; nothing is cached.
class ZTConstants {
 public:
  // The proof the identity server asks for at sign-in.
  enum class ChallengeType { emailLink, otp, password, sms };
  // The side of a document image.
  enum class ImageSide { front, back };

  ZTConstants() = default;

  // Host switch: false selects the production servers, true the development ones. Read from
  // any thread.
  static inline std::atomic<bool> enableDevServer{false};

  static constexpr std::string_view BIO_STORAGE_TOKEN = "BIO_STORAGE_TOKEN";
  static constexpr std::string_view BundleID = "com.zentrel.ZentrelSDK";
  static constexpr std::string_view DOCKS_CACHE_FOLDER = "ZentrelDock";

  // Identity-server URLs: base URL, "/api/v1.1", then the endpoint path.
  static std::string getAuthPath();
  static std::string getAuthCheckPath();
  static std::string getAuthCodeSendPath();
  static std::string getAuthTokenPath();
  static std::string getAuthPassCheckPath();
  static std::string getAuthPassResetPath();
  static std::string getAuthPassConfirmPath();
  static std::string getOtpResetPath();
  static std::string getSignUpPath();
  static std::string getDocumentsPath();
  static std::string getDocumentPath(const std::string& id);
  static std::string getDocumentFrontPath(const std::string& id);
  static std::string getDocumentBackPath(const std::string& id);
  static std::string getDocumentStatusLogPath(const std::string& id);
  static std::string getDocumentCreatePath();
  static std::string getDocumentFileValidatePath();
  static std::string getDocumentLoadFrontPath(const std::string& id);
  static std::string getDocumentLoadBackPath(const std::string& id);
  static std::string getDocumentConfirmPath(const std::string& id);
  static std::string getDocumentLoadStatusPath();
  static std::string getDocumentDeletePath(const std::string& id);
  static std::string getUserSettingsPath();
  static std::string getOAuthAuthPath();
  static std::string getOAuthLoginPath();
  static std::string getOAuthConsentPath();
  // The id-taking getters put the id in as one escaped path segment; an empty id, "." or ".."
  // gives the empty text, which no request accepts as a URL.
  // The consent URL, "/" and the challenge as one escaped path segment.
  static std::string getOAuthConsentPath(const std::string& consent_challenge);
  static std::string getOAuthTokenPath();
  static std::string getAppsDockRequiredPath(const std::string& id);

  // API-server URL: base URL, "/v1", then the endpoint unchanged.
  static std::string getZentrelAPIFullPath(const std::string& endpoint);

 private:
  static std::string IDENTITY_SERVER_URL();
  static std::string API_SERVER_URL();
  static std::string identityURL(std::string_view path);
  static std::string identityURL(std::string_view path, const std::string& id);
  static std::optional<std::string> pathSegment(const std::string& id);
};

template <class E>
std::optional<E> fromRawValue(std::string_view text);

std::string rawValue(ZTConstants::ChallengeType type);
template <>
std::optional<ZTConstants::ChallengeType> fromRawValue(std::string_view text);
// What the log-in request sends: a code that came by SMS is submitted as "emailLink".
std::string typeNameForGetToken(ZTConstants::ChallengeType type);

std::string rawValue(ZTConstants::ImageSide side);
template <>
std::optional<ZTConstants::ImageSide> fromRawValue(std::string_view text);

}  // namespace ZentrelSDK
