#include <gtest/gtest.h>

#include "Foundation/URLComponents.hpp"

using Foundation::URL;
using Foundation::URLComponents;
using Foundation::URLQueryItem;
using Items = std::vector<URLQueryItem>;

TEST(URLComponents, ReadsQueryItemsPercentDecodedWithPlusKept) {
  const auto c =
      URLComponents::string("myapp://cb?code=a%2Fb%3D&state=x+y&flag&empty=&eq=a=b&name=Jos%C3%A9");
  ASSERT_TRUE(c.has_value());
  EXPECT_EQ(c->queryItems(), (Items{{"code", "a/b="},
                                    {"state", "x+y"},
                                    {"flag", std::nullopt},
                                    {"empty", ""},
                                    {"eq", "a=b"},
                                    {"name", "Jos\xC3\xA9"}}));
  EXPECT_EQ(c->percentEncodedQueryItems()->front(), (URLQueryItem{"code", "a%2Fb%3D"}));
  EXPECT_EQ(c->query(), "code=a/b=&state=x+y&flag&empty=&eq=a=b&name=Jos\xC3\xA9");

  EXPECT_FALSE(URLComponents::string("https://a.com/x")->queryItems().has_value());
  EXPECT_EQ(URLComponents::string("https://a.com/x?")->queryItems(), Items{});
}

TEST(URLComponents, EncodesQueryItemsAsFoundationDoes) {
  URLComponents c;
  ASSERT_TRUE(c.setScheme("https"));
  c.setHost("auth.example.com");
  c.setPath("/oauth/authorize");
  const Items items{{"redirect_uri", "com.app:/cb?x=1"},
                    {"scope", "openid profile"},
                    {"plus", "a+b"},
                    {"eq", "x=y"},
                    {"amp", "a&b"},
                    {"n=me", "v"},
                    {"hash", "#"},
                    {"pct", "100%"},
                    {"utf", "\xC3\xA9"},
                    {"flag", std::nullopt}};
  c.setQueryItems(items);
  EXPECT_EQ(c.percentEncodedQuery(),
            "redirect_uri=com.app:/cb?x=1&scope=openid%20profile&plus=a+b&eq=x=y&amp=a%26b"
            "&n%3Dme=v&hash=%23&pct=100%25&utf=%C3%A9&flag");
  EXPECT_EQ(c.queryItems(), items);
  const auto built = c.url();
  ASSERT_TRUE(built.has_value());
  EXPECT_EQ(built->host(), "auth.example.com");
  EXPECT_EQ(built->path(), "/oauth/authorize");
  EXPECT_EQ(URLComponents::url(*built)->queryItems(), items);

  c.setQueryItems(Items{});
  EXPECT_EQ(c.string(), "https://auth.example.com/oauth/authorize?");
  c.setQueryItems(std::nullopt);
  EXPECT_EQ(c.string(), "https://auth.example.com/oauth/authorize");
}

TEST(URLComponents, RoundTripsUrls) {
  for (const char* text :
       {"https://user:pw@example.com:8443/a%20b/c?x=1&y=%2B#frag", "myapp://callback?code=1",
        "com.zentrel.app:/redirect?state=s", "http://[::1]:8080/", "file:///tmp/x%20y",
        "https://example.com", "mailto:a@example.com"}) {
    const auto u = URL::string(text);
    ASSERT_TRUE(u.has_value()) << text;
    const auto c = URLComponents::url(*u);
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->url(), u) << text;
    EXPECT_EQ(c->string(), text);
  }
}

TEST(URLComponents, EditsComponentsOfAParsedUrl) {
  auto c = *URLComponents::string("https://example.com/old?keep=1#f");
  c.setPath("/new dir/a;b");
  EXPECT_EQ(c.percentEncodedPath(), "/new%20dir/a%3Bb");
  EXPECT_EQ(c.path(), "/new dir/a;b");
  ASSERT_TRUE(c.setPort(8080));
  c.setFragment(std::nullopt);
  c.setQuery("q=a b&r=c");
  EXPECT_EQ(c.string(), "https://example.com:8080/new%20dir/a%3Bb?q=a%20b&r=c");
  EXPECT_FALSE(c.setPort(70000));
  EXPECT_FALSE(c.setPort(-1));
  EXPECT_EQ(c.port(), 8080);
  EXPECT_FALSE(c.setScheme("1abc"));
  EXPECT_EQ(c.scheme(), "https");

  EXPECT_FALSE(c.setPercentEncodedQuery("a b"));
  EXPECT_FALSE(c.setPercentEncodedQuery("a=%2"));
  EXPECT_EQ(c.percentEncodedQuery(), "q=a%20b&r=c");
  ASSERT_TRUE(c.setPercentEncodedQuery("a=%20+"));
  EXPECT_EQ(c.query(), "a= +");
  EXPECT_FALSE(c.setPercentEncodedPath("/a b"));
  ASSERT_TRUE(c.setPercentEncodedPath("/a;b/%41"));
  EXPECT_EQ(c.path(), "/a;b/A");
  EXPECT_FALSE(c.setPercentEncodedQueryItems(Items{{"a&b", "c"}}));
  ASSERT_TRUE(c.setPercentEncodedQueryItems(Items{{"a", "%2B"}}));
  EXPECT_EQ(c.queryItems(), (Items{{"a", "+"}}));

  c.setHost("::1");
  EXPECT_EQ(c.percentEncodedHost(), "[::1]");
  EXPECT_EQ(c.url()->host(), "::1");
}

TEST(URLComponents, RefusesPartsThatDoNotFormAUrl) {
  auto c = *URLComponents::string("https://example.com/x");
  c.setPath("relative");
  EXPECT_FALSE(c.string().has_value());
  EXPECT_FALSE(c.url().has_value());

  URLComponents noScheme;
  noScheme.setPath("/a");
  noScheme.setQuery("x=1");
  EXPECT_EQ(noScheme.string(), "/a?x=1");
  EXPECT_FALSE(noScheme.url().has_value());
  noScheme.setPath("//a");
  EXPECT_FALSE(noScheme.string().has_value());
  noScheme.setPath("a:b");
  EXPECT_FALSE(noScheme.string().has_value());

  auto spaced = *URLComponents::string("https://example.com/");
  spaced.setHost("exa mple.com");
  EXPECT_EQ(spaced.host(), "exa mple.com");
  EXPECT_FALSE(spaced.url().has_value());

  EXPECT_TRUE(URLComponents::string("/relative/path?x=1").has_value());
  EXPECT_EQ(URLComponents::string("")->path(), "");
  for (const char* bad :
       {"http://a.com/ x", "https://example.com:99999", "a%zz", "https://a.com/?<"}) {
    EXPECT_FALSE(URLComponents::string(bad).has_value()) << bad;
  }
}
