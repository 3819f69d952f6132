#include <gtest/gtest.h>

#include "Foundation/JSONCoding.hpp"

using namespace Foundation;
using nlohmann::json;

namespace {

struct Address {
  std::string city;
  static Result<Address, DecodingError> decode(const json& j) {
    KeyedDecodingContainer c(j);
    Address a;
    c.decode("city", a.city);
    return c.finish(std::move(a));
  }
};

struct Profile {
  std::string id;
  std::int64_t count = 0;
  bool active = false;
  double ratio = 0;
  std::optional<std::string> nickname;
  std::vector<int> tags;
  Address address;

  static Result<Profile, DecodingError> decode(const json& j) {
    KeyedDecodingContainer c(j);
    Profile p;
    c.decode("id", p.id);
    c.decode("count", p.count);
    c.decode("active", p.active);
    c.decode("ratio", p.ratio);
    c.decodeIfPresent("nickname", p.nickname);
    c.decode("tags", p.tags);
    c.decode("address", p.address);
    return c.finish(std::move(p));
  }
};

json validProfile() {
  return json::parse(R"({"id": "u1", "count": 3, "active": true, "ratio": 0.5,
                         "tags": [1, 2], "address": {"city": "Oslo"}, "unknown": [1]})");
}

DecodingError profileError(const std::string& key, const json& value) {
  auto j = validProfile();
  j[key] = value;
  auto result = Profile::decode(j);
  EXPECT_TRUE(result.isFailure()) << key << " = " << value.dump();
  return result.isFailure() ? result.error() : DecodingError{};
}

const char* kMissing = "The data couldn\u2019t be read because it is missing.";
const char* kWrongFormat =
    "The data couldn\u2019t be read because it isn\u2019t in the correct format.";

}  // namespace

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

TEST(JSONDecoding, DecodesAValidRecordAndIgnoresUnknownKeys) {
  const auto result = Profile::decode(validProfile());
  ASSERT_TRUE(result.isSuccess()) << result.error().description();
  const auto& p = result.value();
  EXPECT_EQ(p.id, "u1");
  EXPECT_EQ(p.count, 3);
  EXPECT_TRUE(p.active);
  EXPECT_EQ(p.ratio, 0.5);
  EXPECT_FALSE(p.nickname.has_value());
  EXPECT_EQ(p.tags, (std::vector<int>{1, 2}));
  EXPECT_EQ(p.address.city, "Oslo");

  auto j = validProfile();
  j["nickname"] = nullptr;
  j["count"] = 5.0;
  j["ratio"] = 2;
  const auto relaxed = Profile::decode(j);
  ASSERT_TRUE(relaxed.isSuccess());
  EXPECT_EQ(relaxed.value().count, 5);
  EXPECT_EQ(relaxed.value().ratio, 2.0);
  EXPECT_FALSE(relaxed.value().nickname.has_value());
}

TEST(JSONDecoding, FailsTheRecordOnAMissingKeyOrNull) {
  auto j = validProfile();
  j.erase("id");
  const auto missing = Profile::decode(j);
  ASSERT_TRUE(missing.isFailure());
  EXPECT_EQ(missing.error().kind, DecodingError::Kind::KeyNotFound);
  EXPECT_EQ(missing.error().key, "id");
  EXPECT_EQ(missing.error().localizedDescription(), kMissing);

  const auto null = profileError("id", nullptr);
  EXPECT_EQ(null.kind, DecodingError::Kind::ValueNotFound);
  EXPECT_EQ(null.debugDescription, "Expected String value but found null instead.");
  EXPECT_EQ(null.localizedDescription(), kMissing);

  const auto nested = profileError("address", json::object());
  EXPECT_EQ(nested.kind, DecodingError::Kind::KeyNotFound);
  EXPECT_EQ(nested.codingPath, std::vector<std::string>{"address"});
  EXPECT_EQ(nested.description(),
            "keyNotFound \"city\" at address: No value associated with key \"city\".");
}

TEST(JSONDecoding, AcceptsOnlyTheExactJsonType) {
  const auto boolFromNumber = profileError("active", 1);
  EXPECT_EQ(boolFromNumber.kind, DecodingError::Kind::TypeMismatch);
  EXPECT_EQ(boolFromNumber.codingPath, std::vector<std::string>{"active"});
  EXPECT_EQ(boolFromNumber.debugDescription, "Expected to decode Bool but found number instead.");
  EXPECT_EQ(boolFromNumber.localizedDescription(), kWrongFormat);

  EXPECT_EQ(profileError("active", "true").kind, DecodingError::Kind::TypeMismatch);
  EXPECT_EQ(profileError("id", 5).debugDescription,
            "Expected to decode String but found number instead.");
  EXPECT_EQ(profileError("count", "5").debugDescription,
            "Expected to decode Int but found a string instead.");
  EXPECT_EQ(profileError("count", true).kind, DecodingError::Kind::TypeMismatch);
  EXPECT_EQ(profileError("ratio", "0.5").kind, DecodingError::Kind::TypeMismatch);
  EXPECT_EQ(profileError("nickname", 3).kind, DecodingError::Kind::TypeMismatch);
  EXPECT_EQ(profileError("address", "Oslo").debugDescription,
            "Expected to decode Dictionary<String, Any> but found a string instead.");

  const auto element = profileError("tags", json::parse(R"([1, "2"])"));
  EXPECT_EQ(element.codingPath, (std::vector<std::string>{"tags", "Index 1"}));
}

TEST(JSONDecoding, RejectsNumbersThatDoNotFitTheInteger) {
  const auto fraction = profileError("count", 1.5);
  EXPECT_EQ(fraction.kind, DecodingError::Kind::DataCorrupted);
  EXPECT_EQ(fraction.debugDescription, "Parsed JSON number <1.5> does not fit in Int.");
  EXPECT_EQ(fraction.localizedDescription(), kWrongFormat);
  EXPECT_EQ(profileError("count", json::parse("9223372036854775808")).kind,
            DecodingError::Kind::DataCorrupted);
  EXPECT_EQ(profileError("count", 9.3e18).kind, DecodingError::Kind::DataCorrupted);
  EXPECT_EQ(profileError("tags", json::parse("[2147483648]")).debugDescription,
            "Parsed JSON number <2147483648> does not fit in Int32.");

  const json limits = json::parse(R"({"min": -9223372036854775808, "byte": -1, "big": 1e2})");
  EXPECT_EQ(require<std::int64_t>(limits, "min").value(), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(require<std::uint8_t>(limits, "byte").error().kind, DecodingError::Kind::DataCorrupted);
  EXPECT_EQ(require<int>(limits, "big").value(), 100);
  EXPECT_EQ(require<float>(json::parse(R"({"f": 1e300})"), "f").error().kind,
            DecodingError::Kind::DataCorrupted);
}

TEST(JSONDecoding, DecodesTextWithTheSnakeCaseStrategy) {
  struct Token {
    std::string accessToken;
    std::int64_t expiresIn = 0;
    static Result<Token, DecodingError> decode(const json& j) {
      KeyedDecodingContainer c(j);
      Token t;
      c.decode("accessToken", t.accessToken);
      c.decode("expiresIn", t.expiresIn);
      return c.finish(std::move(t));
    }
  };
  const std::string body = R"({"access_token": "abc", "expires_in": 3600, "token_type": "Bearer"})";
  const auto token = decode<Token>(body, KeyDecodingStrategy::ConvertFromSnakeCase);
  ASSERT_TRUE(token.isSuccess());
  EXPECT_EQ(token.value().accessToken, "abc");
  EXPECT_EQ(token.value().expiresIn, 3600);
  EXPECT_EQ(decode<Token>(body).error().kind, DecodingError::Kind::KeyNotFound);

  for (const char* bad : {"", "{", "{\"a\": 1,}", "\"\xFF\"", "[1, 2"}) {
    const auto broken = decode<Token>(std::string_view(bad));
    ASSERT_TRUE(broken.isFailure()) << bad;
    EXPECT_EQ(broken.error().kind, DecodingError::Kind::DataCorrupted);
    EXPECT_EQ(broken.error().debugDescription, "The given data was not valid JSON.");
  }
  const auto notObject = decode<Token>(std::string_view("[1]"));
  EXPECT_EQ(notObject.error().debugDescription,
            "Expected to decode Dictionary<String, Any> but found an array instead.");
}

TEST(JSONDecoding, RequireAndDecodeIfPresentWorkWithoutARecord) {
  const json j = json::parse(R"({"s": "x", "n": null, "m": {"a": 1, "b": 2}, "o": 1})");
  EXPECT_EQ(require<std::string>(j, "s").value(), "x");
  EXPECT_EQ(require<std::optional<std::string>>(j, "n").value(), std::nullopt);
  EXPECT_EQ(require<std::optional<std::string>>(j, "zz").error().kind,
            DecodingError::Kind::KeyNotFound);
  EXPECT_EQ((require<std::map<std::string, int>>(j, "m").value()),
            (std::map<std::string, int>{{"a", 1}, {"b", 2}}));
  EXPECT_EQ(decodeIfPresent<std::string>(j, "zz").value(), std::nullopt);
  EXPECT_EQ(decodeIfPresent<std::string>(j, "n").value(), std::nullopt);
  EXPECT_EQ(decodeIfPresent<std::string>(j, "o").error().kind, DecodingError::Kind::TypeMismatch);
  EXPECT_EQ(require<json>(j, "m").value(), j["m"]);
  EXPECT_EQ(require<std::string>(json::array(), "s").error().kind,
            DecodingError::Kind::TypeMismatch);
}

TEST(Result, CarriesEitherAValueOrAnError) {
  Result<int, std::string> ok = success(3);
  Result<int, std::string> bad = failure(std::string("boom"));
  EXPECT_TRUE(ok.isSuccess());
  EXPECT_EQ(ok.value(), 3);
  EXPECT_TRUE(bad.isFailure());
  EXPECT_EQ(bad.error(), "boom");
  EXPECT_EQ(bad.valueIfPresent(), nullptr);
  EXPECT_EQ(*ok.valueIfPresent(), 3);

  // The same type on both sides stays two cases.
  const auto same = Result<int, int>::failure(7);
  EXPECT_TRUE(same.isFailure());
  EXPECT_EQ(same.error(), 7);

  Result<void, std::string> done = success();
  EXPECT_TRUE(done.isSuccess());
  EXPECT_TRUE((Result<void, std::string>::failure("x").isFailure()));
}

TEST(ResultDeathTest, ReadingTheWrongCaseStopsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const Result<int, std::string> bad = failure(std::string("boom"));
  EXPECT_DEATH((void)bad.value(), "value read on a failure");
}
