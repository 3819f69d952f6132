#include "Foundation/HTTPCookieStorage.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <ctime>
#include <map>
#include <mutex>
#include <string_view>
#include <tuple>

#include "Foundation/Networking/CurlShare.hpp"

namespace Foundation {

namespace {

constexpr std::string_view kHttpOnlyPrefix = "#HttpOnly_";

std::vector<std::string_view> split(std::string_view line, char sep) {
  std::vector<std::string_view> out;
  for (;;) {
    const auto pos = line.find(sep);
    out.push_back(line.substr(0, pos));
    if (pos == std::string_view::npos) return out;
    line.remove_prefix(pos + 1);
  }
}

// One line of libcurl's cookie list (Netscape format); nullopt for an expired one.
std::optional<HTTPCookie> parseCookie(std::string_view line, std::int64_t now) {
  auto fields = split(line, '\t');
  if (fields.size() < 6) return std::nullopt;
  HTTPCookie cookie;
  std::string_view domain = fields[0];
  if (domain.starts_with(kHttpOnlyPrefix)) {
    cookie.isHTTPOnly = true;
    domain.remove_prefix(kHttpOnlyPrefix.size());
  }
  cookie.domain = std::string(domain);
  cookie.path = std::string(fields[2]);
  cookie.isSecure = fields[3] == "TRUE";
  std::int64_t expires = 0;
  std::from_chars(fields[4].data(), fields[4].data() + fields[4].size(), expires);
  if (expires != 0) {
    if (expires <= now) return std::nullopt;
    cookie.expiresDate = Date::timeIntervalSince1970(static_cast<double>(expires));
  }
  cookie.name = std::string(fields[5]);
  if (fields.size() > 6) cookie.value = std::string(fields[6]);
  return cookie;
}

// The Netscape line that replaces `cookie` with one that expired long ago.
std::string expiredLine(const HTTPCookie& cookie) {
  const bool tailMatch = cookie.domain.starts_with('.');
  return std::string(cookie.isHTTPOnly ? kHttpOnlyPrefix : "") + cookie.domain + "\t" +
         (tailMatch ? "TRUE" : "FALSE") + "\t" + cookie.path + "\t" +
         (cookie.isSecure ? "TRUE" : "FALSE") + "\t1\t" + cookie.name + "\t" + cookie.value;
}

std::string lowered(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool domainMatches(const std::string& host, const std::string& cookieDomain) {
  const std::string domain = lowered(cookieDomain);
  if (!domain.starts_with('.')) return host == domain;
  const std::string bare = domain.substr(1);
  return host == bare || (host.size() > domain.size() && host.ends_with(domain));
}

bool pathMatches(std::string_view requestPath, std::string_view cookiePath) {
  if (cookiePath.empty()) cookiePath = "/";
  if (!requestPath.starts_with(cookiePath)) return false;
  return requestPath.size() == cookiePath.size() || cookiePath.ends_with('/') ||
         requestPath[cookiePath.size()] == '/';
}

using Key = std::tuple<std::string, std::string, std::string>;  // domain, path, name

}  // namespace

struct HTTPCookieStorage::Impl {
  Impl() : handle(curl_easy_init()) {
    curl_easy_setopt(handle, CURLOPT_SHARE, Networking::cookieShare());
  }

  mutable std::mutex mutex;
  CURL* handle;  // not used for transfers: reads and edits the shared jar
  // When each cookie was stored, as seen by this process, for removeCookies(since:).
  std::map<Key, std::pair<double, std::string>> stored;

  std::vector<HTTPCookie> list() const {
    std::vector<HTTPCookie> out;
    curl_slist* lines = nullptr;
    if (curl_easy_getinfo(handle, CURLINFO_COOKIELIST, &lines) != CURLE_OK) return out;
    const auto now = static_cast<std::int64_t>(std::time(nullptr));
    for (curl_slist* l = lines; l != nullptr; l = l->next) {
      if (auto cookie = parseCookie(l->data, now)) out.push_back(std::move(*cookie));
    }
    curl_slist_free_all(lines);
    return out;
  }

  std::vector<HTTPCookie> refreshDates() {
    auto cookies = list();
    const double now = Date::now().timeIntervalSince1970();
    std::map<Key, std::pair<double, std::string>> next;
    for (const auto& c : cookies) {
      Key key{lowered(c.domain), c.path, c.name};
      auto it = stored.find(key);
      const bool same = it != stored.end() && it->second.second == c.value;
      next[key] = {same ? it->second.first : now, c.value};
    }
    stored = std::move(next);
    return cookies;
  }

  void remove(const HTTPCookie& cookie) {
    curl_easy_setopt(handle, CURLOPT_COOKIELIST, expiredLine(cookie).c_str());
    stored.erase(Key{lowered(cookie.domain), cookie.path, cookie.name});
  }
};

namespace {
// The process's one jar, reached by the store and by the sessions that fill it. Never
// destroyed: sessions may still store cookies while the process exits.
HTTPCookieStorage::Impl& jar() {
  static auto* impl = new HTTPCookieStorage::Impl;
  return *impl;
}
}  // namespace

HTTPCookieStorage::HTTPCookieStorage() : impl_(jar()) {}

HTTPCookieStorage::~HTTPCookieStorage() = default;

const std::shared_ptr<HTTPCookieStorage>& HTTPCookieStorage::shared() {
  // Never destroyed: sessions may still store cookies while the process exits.
  static auto* storage = new std::shared_ptr<HTTPCookieStorage>(new HTTPCookieStorage);
  return *storage;
}

std::vector<HTTPCookie> HTTPCookieStorage::cookies() const {
  std::lock_guard lock(impl_.mutex);
  return impl_.list();
}

std::vector<HTTPCookie> HTTPCookieStorage::cookies(const URL& url) const {
  const auto host = url.host();
  if (!host) return {};
  const std::string h = lowered(*host);
  const bool secure = lowered(url.scheme().value_or("")) == "https";
  const std::string path = url.parts().path.empty() ? "/" : url.parts().path;
  std::vector<HTTPCookie> out;
  for (auto& c : cookies()) {
    if (domainMatches(h, c.domain) && pathMatches(path, c.path) && (secure || !c.isSecure)) {
      out.push_back(std::move(c));
    }
  }
  return out;
}

void HTTPCookieStorage::deleteCookie(const HTTPCookie& cookie) {
  std::lock_guard lock(impl_.mutex);
  impl_.remove(cookie);
}

void HTTPCookieStorage::removeCookies(Date since) {
  std::lock_guard lock(impl_.mutex);
  const double from = since.timeIntervalSince1970();
  for (const auto& c : impl_.refreshDates()) {
    auto it = impl_.stored.find(Key{lowered(c.domain), c.path, c.name});
    if (it != impl_.stored.end() && it->second.first >= from) impl_.remove(c);
  }
}

namespace Networking {

void cookiesReceived() {
  auto& impl = jar();
  std::lock_guard lock(impl.mutex);
  impl.refreshDates();
}

}  // namespace Networking

}  // namespace Foundation
