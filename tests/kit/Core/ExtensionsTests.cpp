#include <ZTExtensions/ZTCollectionExtension.hpp>
#include <ZTExtensions/ZTURLExtension.hpp>

#include <string>

#include <gtest/gtest.h>

using namespace ZentrelSDK;

namespace {

Foundation::URL url(const char* text) {
  auto parsed = Foundation::URL::string(text);
  EXPECT_TRUE(parsed.has_value()) << text;
  return parsed.value_or(*Foundation::URL::string("https://invalid.example"));
}

}  // namespace

TEST(ZTURLExtension, ValueOfTakesTheFirstItemOfExactlyThatName) {
  const auto redirect = url("https://app.example/cb?state=s&code=abc&code=def");
  EXPECT_EQ(valueOf(redirect, "code"), std::optional<std::string>("abc"));
  EXPECT_EQ(valueOf(redirect, "state"), std::optional<std::string>("s"));
  EXPECT_EQ(valueOf(redirect, "Code"), std::nullopt);
  EXPECT_EQ(valueOf(redirect, "cod"), std::nullopt);
  EXPECT_EQ(valueOf(redirect, "missing"), std::nullopt);
}

TEST(ZTURLExtension, ValueOfDecodesTheValue) {
  const auto redirect =
      url("com.zentrel.example:/oauth?login_challenge=a%2Fb%3Dc&consent_challenge=x+y");
  EXPECT_EQ(valueOf(redirect, "login_challenge"), std::optional<std::string>("a/b=c"));
  EXPECT_EQ(valueOf(redirect, "consent_challenge"), std::optional<std::string>("x+y"));
}

TEST(ZTCollectionExtension, RemoveNilValuesKeepsPresentValues) {
  const std::map<std::string, std::optional<int>> mixed = {{"a", 1}, {"b", std::nullopt}, {"c", 0}};
  EXPECT_EQ(removeNilValues(mixed), (std::map<std::string, int>{{"a", 1}, {"c", 0}}));
  EXPECT_EQ(mixed.size(), 3u);
  const std::map<std::string, std::optional<std::string>> none = {{"a", std::nullopt},
                                                                  {"b", std::nullopt}};
  EXPECT_TRUE(removeNilValues(none).empty());
  const std::unordered_map<std::string, std::optional<std::string>> unordered = {
      {"x", "1"}, {"y", std::nullopt}};
  EXPECT_EQ(removeNilValues(unordered), (std::unordered_map<std::string, std::string>{{"x", "1"}}));
}

TEST(ZTCollectionExtension, RemoveDuplicatesKeepsFirstOccurrencesInOrder) {
  const std::vector<int> values = {3, 1, 3, 2, 1};
  EXPECT_EQ(removeDuplicates(values), (std::vector<int>{3, 1, 2}));
  EXPECT_EQ(values.size(), 5u);
  EXPECT_TRUE(removeDuplicates(std::vector<std::string>{}).empty());
  EXPECT_EQ(removeDuplicates(std::vector<std::string>{"b", "a", "b"}),
            (std::vector<std::string>{"b", "a"}));
}
