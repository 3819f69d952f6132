// One cookie store for every session that names it.

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

}  // namespace
}  // namespace nettest
