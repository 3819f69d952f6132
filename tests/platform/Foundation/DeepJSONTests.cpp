#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <Foundation/JSONCoding.hpp>

#include "support/NestedJSON.hpp"

using Foundation::DecodingError;
using Foundation::KeyDecodingStrategy;
using Foundation::kMaxJSONDepth;
using zttest::nestedJSON;

namespace {

struct Nesting {
  const char* name;
  std::string text;
  bool decodes;
};

std::vector<Nesting> nestings() {
  constexpr int kDeep = 100000;
  return {
      {"ArraysFarTooDeep", nestedJSON(kDeep, "[", "1", "]"), false},
      {"SnakeCaseObjectsFarTooDeep", nestedJSON(kDeep, R"({"some_key":)", "1", "}"), false},
      {"MixedFarTooDeep", nestedJSON(kDeep / 2, R"([{"k":)", "null", "}]"), false},
      {"UnclosedFarTooDeep", std::string(kDeep, '['), false},
      {"ArraysAtTheLimit", nestedJSON(kMaxJSONDepth, "[", "1", "]"), true},
      {"ArraysOneTooDeep", nestedJSON(kMaxJSONDepth + 1, "[", "1", "]"), false},
      {"ObjectsAtTheLimit", nestedJSON(kMaxJSONDepth, R"({"some_key":)", "1", "}"), true},
      {"ObjectsOneTooDeep", nestedJSON(kMaxJSONDepth + 1, R"({"some_key":)", "1", "}"), false},
      // Brackets inside texts are not nesting, escaped quotes included.
      {"BracketsInsideAText", "[\"" + std::string(kDeep, '[') + "\"]", true},
      {"BracketsAfterAnEscapedQuote", "[\"\\\"" + std::string(kDeep, '{') + "\"]", true},
  };
}

class DeepJSON : public ::testing::TestWithParam<Nesting> {};

const DecodingError kNotJSON = DecodingError::dataCorrupted("The given data was not valid JSON.");

}  // namespace

TEST_P(DeepJSON, DeeperThanTheLimitIsADecodingErrorNeverACrash) {
  const auto& c = GetParam();
  const auto parsed = Foundation::parseJSON(c.text);
  const auto decoded =
      Foundation::decode<nlohmann::json>(c.text, KeyDecodingStrategy::ConvertFromSnakeCase);
  EXPECT_EQ(parsed.isSuccess(), c.decodes);
  ASSERT_EQ(decoded.isSuccess(), c.decodes);
  if (!c.decodes) {
    EXPECT_EQ(parsed.error(), kNotJSON);
    EXPECT_EQ(decoded.error(), kNotJSON);
  }
}

TEST_P(DeepJSON, KeyConversionOfAnyValueStopsAtTheLimit) {
  const auto& c = GetParam();
  // nlohmann's own parser builds even the deepest value without recursing.
  const auto value = nlohmann::json::parse(c.text, nullptr, false);
  if (value.is_discarded()) return;  // not JSON at all
  const auto converted = Foundation::convertingKeysFromSnakeCase(value);
  ASSERT_EQ(converted.isSuccess(), c.decodes);
  if (!c.decodes) {
    EXPECT_EQ(converted.error(), kNotJSON);
  }
}

INSTANTIATE_TEST_SUITE_P(Nestings, DeepJSON, ::testing::ValuesIn(nestings()),
                         [](const ::testing::TestParamInfo<Nesting>& info) {
                           return std::string(info.param.name);
                         });

TEST(DeepJSONKeys, KeysAreStillConvertedAtTheLimit) {
  const auto text = nestedJSON(kMaxJSONDepth, R"({"some_key":)", "1", "}");
  const auto converted =
      Foundation::convertingKeysFromSnakeCase(Foundation::parseJSON(text).value());
  ASSERT_TRUE(converted.isSuccess());
  EXPECT_EQ(converted.value(),
            nlohmann::json::parse(nestedJSON(kMaxJSONDepth, R"({"someKey":)", "1", "}")));
}
