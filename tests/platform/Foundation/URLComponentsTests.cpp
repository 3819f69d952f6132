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
