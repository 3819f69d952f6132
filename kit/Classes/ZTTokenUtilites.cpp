#include "ZTTokenUtilites.hpp"

#include <Foundation/Data.hpp>
#include <Foundation/HTTPCookieStorage.hpp>

namespace ZentrelSDK {

const std::shared_ptr<ZTTokenUtilites>& ZTTokenUtilites::shared() {
  static const std::shared_ptr<ZTTokenUtilites> instance(new ZTTokenUtilites());
  return instance;
}

void ZTTokenUtilites::saveToken(const std::optional<std::string>& token, bool base64,
                                const std::function<void(std::optional<std::string>)>& completion) {
  if (!token) return;
  std::string stored =
      base64 ? Foundation::base64EncodedString(Foundation::dataFromString(*token)) : *token;
  {
    std::lock_guard lock(mutex_);
    tokenKey = stored;
  }
  if (completion) completion(std::move(stored));
}

void ZTTokenUtilites::saveOAuthToken(const std::string& oauthToken) {
  std::lock_guard lock(mutex_);
  oauthTokenKey = oauthToken;
}

std::string ZTTokenUtilites::getToken() const {
  std::lock_guard lock(mutex_);
  return tokenKey.value_or("");
}

std::optional<std::string> ZTTokenUtilites::getOAuthToken() const {
  std::lock_guard lock(mutex_);
  return oauthTokenKey;
}

void ZTTokenUtilites::clearTokens() {
  {
    std::lock_guard lock(mutex_);
    tokenKey.reset();
    oauthTokenKey.reset();
  }
  clearCookies();
}

void ZTTokenUtilites::clearOAuthToken() {
  std::lock_guard lock(mutex_);
  oauthTokenKey.reset();
}

void ZTTokenUtilites::clearCookies() {
  const auto& storage = Foundation::HTTPCookieStorage::shared();
  for (const auto& cookie : storage->cookies()) storage->deleteCookie(cookie);
}

}  // namespace ZentrelSDK
