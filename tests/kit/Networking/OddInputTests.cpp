// Inputs from outside that once went wrong: deep answers, odd query keys, secrets in paths.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include <Foundation/Bundle.hpp>

#include "NetworkingSupport.hpp"
#include "ZTLogger.hpp"
#include "ZTNetworkCore/ZTNetworkCore.hpp"
#include "ZTNetworkCore/ZTNetworkTrace.hpp"
#include "support/NestedJSON.hpp"

namespace {

using nettest::idURL;
using nettest::Outcome;
using ZentrelSDK::ZTHTTPMethod;
using ZentrelSDK::ZTNetworkCore;
using ZentrelSDK::ZTNetworkError;
using ZentrelSDK::ZTNetworkTrace;
using ZentrelSDK::ZTResponse;

struct DeepAnswer {
  const char* name;
  std::string body;
  bool decodes;
};

class DeepAnswers : public zttest::SandboxTest, public ::testing::WithParamInterface<DeepAnswer> {
 protected:
  // Inside the kit's own app the answer is also parsed for its trace.
  void SetUp() override {
    zttest::SandboxTest::SetUp();
    saved_ = Foundation::Bundle::main()->bundleIdentifier();
    Foundation::Bundle::setMainBundleIdentifier("com.zentrel.ZentrelSDK.Example");
    ZentrelSDK::ZTLogger::resetApplicationCheck();
  }
  void TearDown() override {
    Foundation::Bundle::setMainBundleIdentifier(saved_);
    ZentrelSDK::ZTLogger::resetApplicationCheck();
    zttest::SandboxTest::TearDown();
  }
  std::optional<std::string> saved_;
};

}  // namespace

TEST_P(DeepAnswers, AreDecodedOrRefusedWithTheUsualErrorNeverACrash) {
  const auto& c = GetParam();
  sb().inject("test.echo", sandbox::Fault::json(200, c.body));
  Outcome<nlohmann::json> answer;
  ZTNetworkCore::requestRequired200StatusCodeAnswer<nlohmann::json>(
      idURL("/test/echo"), ZTHTTPMethod::get, {}, ZentrelSDK::EmptyBody(), answer.callback());
  ASSERT_TRUE(answer.wait());
  if (c.decodes) {
    EXPECT_TRUE(answer.result->isSuccess()) << answer.errorText();
  } else {
    EXPECT_EQ(answer.errorText(), "cannot decode answer");
  }
  const auto parsed = ZentrelSDK::parse<nlohmann::json>(Foundation::dataFromString(c.body));
  EXPECT_EQ(parsed.isSuccess(), c.decodes);
}

INSTANTIATE_TEST_SUITE_P(
    Depths, DeepAnswers,
    ::testing::Values(
        DeepAnswer{"Arrays100000", zttest::nestedJSON(100000, "[", "1", "]"), false},
        DeepAnswer{"Objects100000", zttest::nestedJSON(100000, R"({"a_b":)", "1", "}"), false},
        DeepAnswer{"ObjectsAtTheLimit",
                   zttest::nestedJSON(Foundation::kMaxJSONDepth, R"({"a_b":)", "1", "}"), true}),
    [](const ::testing::TestParamInfo<DeepAnswer>& info) { return std::string(info.param.name); });

namespace {

class QueryKeys : public zttest::SandboxTest {};

}  // namespace

TEST_F(QueryKeys, EveryPairReadsBackAsWritten) {
  const std::vector<std::pair<std::string, std::string>> pairs = {
      {"=", "false"}, {"a=b", "c=d"}, {"==", "x"}, {"k&=", "v"},
      {"+", "1+1"},   {"%3D", "%"},   {"#", "#"},  {"plain", "text"},
  };
  nlohmann::json body = nlohmann::json::object();
  for (const auto& [key, value] : pairs) body[key] = value;
  body["="] = false;  // a boolean goes out as its literal

  Outcome<ZTResponse> answer;
  ZTNetworkCore::requestRequiredStatusCodeAnswer(idURL("/test/echo"), ZTHTTPMethod::get, {}, body,
                                                 answer.callback());
  ASSERT_TRUE(answer.wait());
  ASSERT_TRUE(answer.result->isSuccess()) << answer.errorText();
  const auto query = sb().requests("test.echo").at(0).query;
  EXPECT_EQ((std::set<std::pair<std::string, std::string>>(query.begin(), query.end())),
            (std::set<std::pair<std::string, std::string>>(pairs.begin(), pairs.end())));
  EXPECT_EQ(query.size(), pairs.size());
}

TEST(TraceRedaction, SecretsInOAuthPathsAreStarredLikeQueryValues) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"https://id.zentrel.com/api/v1.1/oauth/consent/SECRET1",
       "https://id.zentrel.com/api/v1.1/oauth/consent/*"},
      {"https://id.zentrel.com/api/v1.1/oauth/consent/SECRET1/",
       "https://id.zentrel.com/api/v1.1/oauth/consent/*/"},
      {"https://id.zentrel.com/api/v1.1/oauth/login/SECRET1?challenge=SECRET1",
       "https://id.zentrel.com/api/v1.1/oauth/login/*?challenge=*"},
      {"https://id.zentrel.com/api/v1.1/oauth/auth?consent_verifier=SECRET1",
       "https://id.zentrel.com/api/v1.1/oauth/auth?consent_verifier=*"},
      {"https://id.zentrel.com/api/v1.1/oauth/consent",
       "https://id.zentrel.com/api/v1.1/oauth/consent"},
      {"https://id.zentrel.com/api/v1.1/documents/d1/front/file",
       "https://id.zentrel.com/api/v1.1/documents/d1/front/file"},
  };
  for (const auto& [url, redacted] : cases) {
    EXPECT_EQ(ZTNetworkTrace::redactedURL(url), redacted) << url;
    for (const auto& line : {ZTNetworkTrace::request("GET", url), ZTNetworkTrace::redirect(url),
                             ZTNetworkTrace::deinit(url)}) {
      EXPECT_EQ(line.find("SECRET1"), std::string::npos) << line;
    }
  }
}
