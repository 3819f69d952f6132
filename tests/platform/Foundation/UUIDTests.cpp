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
