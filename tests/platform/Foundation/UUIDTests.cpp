#include <gtest/gtest.h>

#include <regex>
#include <unordered_set>

#include "Foundation/UUID.hpp"

using Foundation::UUID;

TEST(UUID, IsAnUpperCaseVersion4UuidInCanonicalForm) {
  const std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
  for (int i = 0; i < 200; ++i) {
    const auto text = UUID().uuidString();
    EXPECT_TRUE(std::regex_match(text, form)) << text;
  }
}

TEST(UUID, IsUniqueAcrossManyValues) {
  std::unordered_set<UUID> seen;
  std::unordered_set<std::string> texts;
  for (int i = 0; i < 20000; ++i) {
    const UUID u;
    EXPECT_TRUE(seen.insert(u).second);
    EXPECT_TRUE(texts.insert(u.uuidString()).second);
  }
}

TEST(UUID, ParsesEitherCaseAndRejectsOtherShapes) {
  const auto parsed = UUID::uuidString("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->uuidString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
  EXPECT_EQ(parsed->uuid()[0], 0xE6);
  EXPECT_EQ(parsed->uuid()[15], 0x5F);
  EXPECT_EQ(UUID::uuidString("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"), parsed);

  const UUID original;
  EXPECT_EQ(UUID::uuidString(original.uuidString()), original);

  for (const char* bad :
       {"", "E621E1F8C36C495A93FC0C247A3E6E5F", "E621E1F8-C36C-495A-93FC-0C247A3E6E5",
        "E621E1F8-C36C-495A-93FC-0C247A3E6E5FF", "E621E1F8-C36C-495A-93FC_0C247A3E6E5F",
        "G621E1F8-C36C-495A-93FC-0C247A3E6E5F", "E621E1F-8C36C-495A-93FC-0C247A3E6E5F",
        "{E621E1F8-C36C-495A-93FC-0C247A3E6E5F}"}) {
    EXPECT_FALSE(UUID::uuidString(bad).has_value()) << bad;
  }
}
