#include <gtest/gtest.h>

#include "Foundation/JSONCoding.hpp"

using namespace Foundation;
using nlohmann::json;

TEST(SnakeCase, FollowsSwiftsConversionRule) {
  const std::pair<const char*, const char*> cases[] = {
      {"snake_case_key", "snakeCaseKey"},
      {"a_b_c", "aBC"},
      {"ALL_CAPS", "allCaps"},
      {"one_Two_THREE", "oneTwoThree"},
      {"alreadyCamel", "alreadyCamel"},
      {"Capitalized", "Capitalized"},
      {"_leading", "_leading"},
      {"__private_key", "__privateKey"},
      {"trailing_key__", "trailingKey__"},
      {"__both_sides__", "__bothSides__"},
      {"double__underscore", "doubleUnderscore"},
      {"user_id_2", "userId2"},
      {"x_2fa", "x2fa"},
      {"_", "_"},
      {"___", "___"},
      {"", ""},
      {"a", "a"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(convertFromSnakeCase(in), out) << in;
}

TEST(SnakeCase, ConvertsKeysAtEveryDepth) {
  const auto converted =
      convertingKeysFromSnakeCase(
          json::parse(
              R"({"user_info": {"first_name": "A", "phone_numbers": [{"country_code": "47"}]},
          "plain_value": "snake_text_stays"})"))
          .value();
  EXPECT_EQ(converted, json::parse(R"({"userInfo": {"firstName": "A",
      "phoneNumbers": [{"countryCode": "47"}]}, "plainValue": "snake_text_stays"})"));
}
