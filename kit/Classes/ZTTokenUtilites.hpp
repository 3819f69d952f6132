#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace ZentrelSDK {

// Holds, in memory only, the identity server's session token and the OAuth access token.
// Safe to use from any thread.
class ZTTokenUtilites : public std::enable_shared_from_this<ZTTokenUtilites> {
 public:
  static const std::shared_ptr<ZTTokenUtilites>& shared();

  // An absent token changes nothing and calls nothing. Otherwise the stored text is the Base64
  // of the token's UTF-8 bytes (`base64` true) or the token itself, and `completion` receives
  // that stored text synchronously.
  void saveToken(const std::optional<std::string>& token, bool base64 = true,
                 const std::function<void(std::optional<std::string>)>& completion = nullptr);
  void saveOAuthToken(const std::string& oauthToken);

  // The session token, or "" when none is held.
  std::string getToken() const;
  std::optional<std::string> getOAuthToken() const;

  // Forgets both tokens and removes every cookie of the shared cookie storage.
  void clearTokens();
  // Forgets the access token only.
  void clearOAuthToken();

  ZTTokenUtilites(const ZTTokenUtilites&) = delete;
  ZTTokenUtilites& operator=(const ZTTokenUtilites&) = delete;

 private:
  ZTTokenUtilites() = default;
  void clearCookies();

  mutable std::mutex mutex_;
  std::optional<std::string> tokenKey;
  std::optional<std::string> oauthTokenKey;
};

}  // namespace ZentrelSDK
