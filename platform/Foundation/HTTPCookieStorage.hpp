#pragma once

#include <memory>
#include <vector>

#include "Foundation/Date.hpp"
#include "Foundation/HTTPCookie.hpp"
#include "Foundation/URL.hpp"

namespace Foundation {

// Swift's HTTPCookieStorage. There is one store, shared by every URL session whose
// configuration names it: cookies an answer sets are kept here and sent with later requests
// of any of those sessions. Safe to use from any thread.
class HTTPCookieStorage {
 public:
  // Swift `HTTPCookieStorage.shared`.
  static const std::shared_ptr<HTTPCookieStorage>& shared();

  // Every cookie that has not expired.
  std::vector<HTTPCookie> cookies() const;
  // Swift `cookies(for:)`: those a request to `url` would carry (domain, path and the secure
  // flag checked).
  std::vector<HTTPCookie> cookies(const URL& url) const;

  // Removes the cookie with the same name, domain and path.
  void deleteCookie(const HTTPCookie& cookie);
  // Removes every cookie stored at or after `date`; a past date removes them all.
  void removeCookies(Date since);

  struct Impl;
  ~HTTPCookieStorage();
  HTTPCookieStorage(const HTTPCookieStorage&) = delete;
  HTTPCookieStorage& operator=(const HTTPCookieStorage&) = delete;

 private:
  HTTPCookieStorage();
  Impl& impl_;  // the process's one jar
};

}  // namespace Foundation
