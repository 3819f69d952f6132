#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

#include "ZTNetworkCore/ZTUrlEncodedQuery.hpp"

namespace {

using ZentrelSDK::ZTNetworkError;
using ZentrelSDK::ZTUrlEncodedQuery;

// A token-exchange-like body, declared in an order that is not the sorted one.
struct TokenBody {
  std::string grant_type, code_verifier, code, client_id;
};
void to_json(nlohmann::json& j, const TokenBody& b) {
  j = {{"grant_type", b.grant_type},
       {"code_verifier", b.code_verifier},
       {"code", b.code},
       {"client_id", b.client_id}};
}

std::string form(const nlohmann::json& body) {
  auto result = ZTUrlEncodedQuery::createRequest(body);
  EXPECT_TRUE(result.isSuccess());
  return result ? Foundation::stringFromBytes(result.value()) : std::string("<failed>");
}

TEST(FormEncoder, NamesAreSortedWhateverTheDeclarationOrder) {
  EXPECT_EQ(form({{"b", "2"}, {"a", "1"}}), "a=1&b=2");

  auto result = ZTUrlEncodedQuery::createRequest(TokenBody{"authorization_code", "v", "c", "id"});
  ASSERT_TRUE(result.isSuccess());
  EXPECT_EQ(Foundation::stringFromBytes(result.value()),
            "client_id=id&code=c&code_verifier=v&grant_type=authorization_code");

  // Byte order: a prefix first, upper case before "_", "_" before lower case.
  EXPECT_EQ(form({{"ab", "3"}, {"a_", "2"}, {"aB", "1"}, {"a", "0"}}), "a=0&aB=1&a_=2&ab=3");
}

TEST(FormEncoder, EscapesEverythingButLettersDigitsAndSixMarks) {
  EXPECT_EQ(form({{"v", "a b+c"}}), "v=a%20b%2Bc");
  EXPECT_EQ(form({{"v", "/path?x"}}), "v=/path?x");
  EXPECT_EQ(form({{"v", "-._~"}}), "v=-._~");
  EXPECT_EQ(form({{"v", "&=#%:@!$'()*,;[]"}}),
            "v=%26%3D%23%25%3A%40%21%24%27%28%29%2A%2C%3B%5B%5D");
  EXPECT_EQ(form({{"v", "\xC3\xBC"}}), "v=%C3%BC");  // ü
  EXPECT_EQ(form({{"a key", "x"}}), "a%20key=x");
}

TEST(FormEncoder, BooleansAndNumbers) {
  EXPECT_EQ(form({{"t", true}, {"f", false}}), "f=0&t=1");
  EXPECT_EQ(form({{"n", 1}}), "n=1");
  EXPECT_EQ(form({{"n", -42}}), "n=-42");
  EXPECT_EQ(form({{"n", 0.5}}), "n=0.5");
}

TEST(FormEncoder, NestingWithBracketsEscaped) {
  EXPECT_EQ(form({{"p", {{"q", 1}}}}), "p%5Bq%5D=1");
  EXPECT_EQ(form({{"s", {"x", "y"}}}), "s%5B%5D=x&s%5B%5D=y");
  EXPECT_EQ(form({{"s", nlohmann::json::array()}, {"o", nlohmann::json::object()}}), "");
  EXPECT_EQ(form({{"p", {{"l", {1, 2}}}}}), "p%5Bl%5D%5B%5D=1&p%5Bl%5D%5B%5D=2");
}

TEST(FormEncoder, RejectsBodiesThatAreNotObjectsOrNotUTF8) {
  for (const auto& body : {nlohmann::json::array({1, 2}), nlohmann::json("text"), nlohmann::json(3),
                           nlohmann::json(nullptr)}) {
    auto result = ZTUrlEncodedQuery::createRequest(body);
    ASSERT_TRUE(result.isFailure()) << body.dump();
    EXPECT_EQ(result.error(), ZTNetworkError::cannotEncodeParameters());
  }
  auto invalid = ZTUrlEncodedQuery::createRequest(nlohmann::json{{"v", "\xFF"}});
  ASSERT_TRUE(invalid.isFailure());
  EXPECT_EQ(invalid.error(), ZTNetworkError::cannotEncodeParameters());
}

}  // namespace
