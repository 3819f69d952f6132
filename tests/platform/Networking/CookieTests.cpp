// One cookie store for every session that names it.
#include <Foundation/URLSessionConfiguration.hpp>

#include <algorithm>

#include "NetworkTest.hpp"

namespace nettest {
namespace {

using CookieTests = NetworkTest;

std::optional<HTTPCookie> named(const std::vector<HTTPCookie>& cookies, const std::string& name) {
  auto it = std::find_if(cookies.begin(), cookies.end(),
                         [&](const HTTPCookie& c) { return c.name == name; });
  return it == cookies.end() ? std::nullopt : std::optional<HTTPCookie>(*it);
}

nlohmann::json cookiesSent(const std::shared_ptr<URLSession>& s, const std::string& host) {
  auto o = load(s, URLRequest(url(NetworkTest::base(host) + "/test/cookies")));
  EXPECT_FALSE(o.error);
  return o.data ? json(*o.data)["cookies"] : nlohmann::json();
}

TEST_F(CookieTests, CookieSetInOneSessionIsSentByAnother) {
  auto setter = session();
  auto o = load(setter, URLRequest(url(base() + "/test/cookies/set?zt_a=1")));
  ASSERT_FALSE(o.error);

  auto reader = session();
  const auto sent = cookiesSent(reader, "id.zentrel.com");
  EXPECT_EQ(sent, nlohmann::json({{"zt_a", "1"}}));
  // Host-only: another host does not get it.
  EXPECT_TRUE(cookiesSent(reader, "api.zentrel.com").empty());

  const auto stored = named(HTTPCookieStorage::shared()->cookies(), "zt_a");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->value, "1");
  EXPECT_EQ(stored->domain, "id.zentrel.com");
  EXPECT_EQ(stored->path, "/");
  EXPECT_TRUE(stored->isSecure);
  EXPECT_FALSE(stored->isHTTPOnly);
  EXPECT_TRUE(stored->isSessionOnly());
  EXPECT_TRUE(named(HTTPCookieStorage::shared()->cookies(url(base() + "/any")), "zt_a"));
  EXPECT_FALSE(
      named(HTTPCookieStorage::shared()->cookies(url(base("api.zentrel.com") + "/")), "zt_a"));
}

TEST_F(CookieTests, AttributesAreKeptAndMatched) {
  auto s = session();
  const double before = Date::now().timeIntervalSince1970();
  auto o =
      load(s, URLRequest(url(base() + "/test/cookies/set?zt_d=2&attrs=;%20Domain=zentrel.com;%20"
                                      "Path=/test;%20Max-Age=3600;%20Secure;%20HttpOnly")));
  ASSERT_FALSE(o.error);

  const auto cookie = named(HTTPCookieStorage::shared()->cookies(), "zt_d");
  ASSERT_TRUE(cookie);
  EXPECT_EQ(cookie->domain, ".zentrel.com");
  EXPECT_EQ(cookie->path, "/test");
  EXPECT_TRUE(cookie->isHTTPOnly);
  ASSERT_TRUE(cookie->expiresDate);
  EXPECT_NEAR(cookie->expiresDate->timeIntervalSince1970(), before + 3600, 5);

  auto& store = *HTTPCookieStorage::shared();
  EXPECT_TRUE(named(store.cookies(url("https://api.zentrel.com/test/cookies")), "zt_d"));
  EXPECT_FALSE(named(store.cookies(url("https://api.zentrel.com/testing")), "zt_d"));
  EXPECT_FALSE(named(store.cookies(url("https://example.com/test")), "zt_d"));
  EXPECT_EQ(cookiesSent(s, "api.dev.zentrel.com"), nlohmann::json({{"zt_d", "2"}}));
}

TEST_F(CookieTests, DeletedCookiesAreNotSentAgain) {
  auto s = session();
  ASSERT_FALSE(load(s, URLRequest(url(base() + "/test/cookies/set?zt_a=1&zt_b=2"))).error);
  EXPECT_EQ(cookiesSent(s, "id.zentrel.com").size(), 2u);

  auto& store = *HTTPCookieStorage::shared();
  const auto a = named(store.cookies(), "zt_a");
  ASSERT_TRUE(a);
  store.deleteCookie(*a);
  EXPECT_FALSE(named(store.cookies(), "zt_a"));
  EXPECT_EQ(cookiesSent(s, "id.zentrel.com"), nlohmann::json({{"zt_b", "2"}}));

  store.removeCookies(Date());
  EXPECT_TRUE(store.cookies().empty());
  EXPECT_TRUE(cookiesSent(s, "id.zentrel.com").empty());
}

TEST_F(CookieTests, RemovingSinceADateKeepsOlderCookies) {
  auto s = session();
  ASSERT_FALSE(load(s, URLRequest(url(base() + "/test/cookies/set?zt_old=1"))).error);
  const Date between = Date::now();
  ASSERT_FALSE(load(s, URLRequest(url(base() + "/test/cookies/set?zt_new=1"))).error);

  auto& store = *HTTPCookieStorage::shared();
  store.removeCookies(between);
  EXPECT_TRUE(named(store.cookies(), "zt_old"));
  EXPECT_FALSE(named(store.cookies(), "zt_new"));
}

TEST_F(CookieTests, SessionWithoutCookieStorageNeitherSendsNorKeeps) {
  auto config = URLSessionConfiguration::defaultConfiguration();
  config.httpCookieStorage = nullptr;
  auto cookieless = URLSession::make(config);
  EXPECT_EQ(cookieless->configuration().httpCookieStorage, nullptr);

  ASSERT_FALSE(load(cookieless, URLRequest(url(base() + "/test/cookies/set?zt_x=1"))).error);
  EXPECT_FALSE(named(HTTPCookieStorage::shared()->cookies(), "zt_x"));

  ASSERT_FALSE(load(session(), URLRequest(url(base() + "/test/cookies/set?zt_y=1"))).error);
  EXPECT_TRUE(cookiesSent(cookieless, "id.zentrel.com").empty());
  EXPECT_EQ(cookiesSent(session(), "id.zentrel.com"), nlohmann::json({{"zt_y", "1"}}));
}

TEST_F(CookieTests, ConfigurationIsCopiedIntoTheSession) {
  auto config = URLSessionConfiguration::defaultConfiguration();
  auto s = URLSession::make(config);
  auto copy = s->configuration();
  copy.httpCookieStorage = nullptr;  // the session's own configuration is not touched

  ASSERT_FALSE(load(s, URLRequest(url(base() + "/test/cookies/set?zt_c=1"))).error);
  EXPECT_EQ(cookiesSent(s, "id.zentrel.com"), nlohmann::json({{"zt_c", "1"}}));
}

}  // namespace
}  // namespace nettest
