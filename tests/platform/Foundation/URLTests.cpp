#include <gtest/gtest.h>

#include <filesystem>
#include <unordered_set>

#include "Foundation/CharacterSet.hpp"
#include "Foundation/URL.hpp"
#include "support/TemporaryFolder.hpp"

using zttest::TemporaryFolder;

using Foundation::URL;

namespace {
URL url(std::string_view text) {
  auto parsed = URL::string(text);
  EXPECT_TRUE(parsed.has_value()) << text;
  return parsed ? *parsed : *URL::string("invalid:");
}
using Strings = std::vector<std::string>;
}  // namespace

TEST(URL, SplitsAnHttpUrlKeepingItAsWritten) {
  const auto u = url("https://api.example.com:8443/v1/users/42?expand=true&name=a%20b#top");
  EXPECT_EQ(u.absoluteString(),
            "https://api.example.com:8443/v1/users/42?expand=true&name=a%20b#top");
  EXPECT_EQ(u.scheme(), "https");
  EXPECT_EQ(u.host(), "api.example.com");
  EXPECT_EQ(u.port(), 8443);
  EXPECT_EQ(u.path(), "/v1/users/42");
  EXPECT_EQ(u.query(), "expand=true&name=a%20b");
  EXPECT_EQ(u.fragment(), "top");
  EXPECT_EQ(u.lastPathComponent(), "42");
  EXPECT_EQ(u.pathComponents(), (Strings{"/", "v1", "users", "42"}));
  EXPECT_FALSE(u.isFileURL());
}

// Copies share one text; a URL copied, assigned or moved from still reads as it did, so an
// object that gave its URL away never holds an empty one.
TEST(URL, CopiedAssignedAndMovedFromUrlsStillReadAsWritten) {
  const std::string text = "https://api.example.com/v1/users/42?expand=true";
  auto source = url(text);
  const URL copy = source;
  URL assigned = url("https://other.example.com/");
  assigned = source;
  const URL moved = std::move(source);
  for (const URL* u : std::initializer_list<const URL*>{&copy, &assigned, &moved, &source}) {
    EXPECT_EQ(u->absoluteString(), text);
    EXPECT_EQ(u->host(), "api.example.com");
    EXPECT_EQ(u->path(), "/v1/users/42");
    EXPECT_EQ(*u, copy);
  }
}

TEST(URL, DecodesThePathButNotTheQuery) {
  const auto u = url("https://example.com/files/my%20file%2Bv2.txt?q=a%2Bb+c");
  EXPECT_EQ(u.path(), "/files/my file+v2.txt");
  EXPECT_EQ(u.lastPathComponent(), "my file+v2.txt");
  EXPECT_EQ(u.query(), "q=a%2Bb+c");
  EXPECT_EQ(url("http://[::1]:8080/x").host(), "::1");
  EXPECT_EQ(url("http://[::1]:8080/x").port(), 8080);
  EXPECT_EQ(url("HTTPS://Example.COM/").scheme(), "HTTPS");
  EXPECT_EQ(url("HTTPS://Example.COM/").host(), "Example.COM");
}

TEST(URL, AcceptsCustomAppSchemes) {
  const auto hostForm = url("com.zentrel.app://oauth/callback?code=abc&state=x%2By");
  EXPECT_EQ(hostForm.scheme(), "com.zentrel.app");
  EXPECT_EQ(hostForm.host(), "oauth");
  EXPECT_EQ(hostForm.path(), "/callback");
  EXPECT_EQ(hostForm.query(), "code=abc&state=x%2By");

  const auto pathForm = url("com.zentrel.app:/oauth2redirect?code=1");
  EXPECT_EQ(pathForm.scheme(), "com.zentrel.app");
  EXPECT_FALSE(pathForm.host().has_value());
  EXPECT_EQ(pathForm.path(), "/oauth2redirect");
  EXPECT_EQ(pathForm.query(), "code=1");

  const auto hostOnly = url("myapp://callback");
  EXPECT_EQ(hostOnly.host(), "callback");
  EXPECT_EQ(hostOnly.path(), "");

  const auto opaque = url("mailto:support@example.com");
  EXPECT_EQ(opaque.scheme(), "mailto");
  EXPECT_FALSE(opaque.host().has_value());
  EXPECT_EQ(opaque.path(), "support@example.com");

  // Longer than libcurl's own scheme limit.
  EXPECT_TRUE(URL::string("com.example.some.rather.long.application.scheme://done").has_value());
}

TEST(URL, AppendsPathComponentsBeforeTheQuery) {
  EXPECT_EQ(url("https://a.com/v1?x=1#f").appendingPathComponent("users").absoluteString(),
            "https://a.com/v1/users?x=1#f");
  EXPECT_EQ(url("https://a.com").appendingPathComponent("a b").absoluteString(),
            "https://a.com/a%20b");
  EXPECT_EQ(url("https://a.com/v1/").appendingPathComponent("x").absoluteString(),
            "https://a.com/v1/x");
  EXPECT_EQ(url("https://a.com/v1").appendingPathComponent("x/y;z").absoluteString(),
            "https://a.com/v1/x/y%3Bz");
  EXPECT_EQ(url("https://a.com/v1").appendingPathComponent("d", true).absoluteString(),
            "https://a.com/v1/d/");

  TemporaryFolder folder;
  std::filesystem::create_directory(folder / "sub");
  const auto base = URL::fileURLWithPath(folder.path());
  EXPECT_EQ(base.appendingPathComponent("sub").absoluteString().back(), '/');
  EXPECT_EQ(base.appendingPathComponent("file.txt").path(), folder / "file.txt");
}

TEST(PercentEncoding, EncodesOutsideTheAllowedSetAndDecodesStrictly) {
  using namespace Foundation;
  EXPECT_EQ(addingPercentEncoding("a b&c=d+e/\xC3\xA9?#", CharacterSet::urlQueryAllowed()),
            "a%20b&c=d+e/%C3%A9?%23");
  EXPECT_EQ(addingPercentEncoding("a;b?c", CharacterSet::urlPathAllowed()), "a%3Bb%3Fc");
  // Form encoding, as code builds it with a reduced set.
  const auto form = CharacterSet::urlQueryAllowed().subtracting("+&=");
  EXPECT_EQ(addingPercentEncoding("a+b=c&d", form), "a%2Bb%3Dc%26d");
  EXPECT_TRUE(CharacterSet::alphanumerics().contains('z'));
  EXPECT_FALSE(CharacterSet::alphanumerics().contains('-'));

  EXPECT_EQ(removingPercentEncoding("%E2%9C%93+x%2b"), "\xE2\x9C\x93+x+");
  for (const char* bad : {"%", "%4", "%zz", "abc%4", "%C3", "%FF"}) {
    EXPECT_FALSE(removingPercentEncoding(bad).has_value()) << bad;
  }
}
