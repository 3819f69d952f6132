#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ZTNetworkCore/ZTNetworkTrace.hpp"
#include "ZTTokenUtilites.hpp"

namespace {

using ZentrelSDK::ZTNetworkTrace;
using ZentrelSDK::ZTTokenUtilites;

class TokenCache : public ::testing::Test {
 protected:
  void SetUp() override { tokens->clearTokens(); }
  void TearDown() override { tokens->clearTokens(); }
  std::shared_ptr<ZTTokenUtilites> tokens = ZTTokenUtilites::shared();
};

TEST_F(TokenCache, SavesTheBase64FormAndHandsItBack) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"abc-_DEF", "YWJjLV9ERUY="},
      {"\xC3\xBC\xE2\x82\xAC", "w7zigqw="},  // "ü€" as UTF-8
      {"", ""},
  };
  for (const auto& [token, encoded] : cases) {
    std::vector<std::optional<std::string>> handed;
    tokens->saveToken(token, true,
                      [&](std::optional<std::string> stored) { handed.push_back(stored); });
    EXPECT_EQ(tokens->getToken(), encoded) << token;
    EXPECT_EQ(handed, std::vector<std::optional<std::string>>{encoded}) << token;
  }
  // A long token is one line: no breaks every 64 or 76 characters.
  const std::string longToken(100, 'x');
  tokens->saveToken(longToken);
  EXPECT_EQ(tokens->getToken().find('\n'), std::string::npos);
  EXPECT_EQ(tokens->getToken().size(), 136u);
}

TEST(NetworkTraces, CarryNoSecrets) {
  const std::string url =
      "https://user:pw@id.zentrel.com/api/v1.1/oauth/auth?client_id=app&code_challenge=SECRET1"
      "&flag&state=#frag";
  const auto redacted = ZTNetworkTrace::redactedURL(url);
  EXPECT_EQ(redacted,
            "https://id.zentrel.com/api/v1.1/oauth/auth?client_id=*&code_challenge=*&flag&state=*");
  const auto line = ZTNetworkTrace::request("GET", url);
  EXPECT_NE(line.find("QUERING TO: GET https://id.zentrel.com/api/v1.1/oauth/auth?"),
            std::string::npos);
  for (const auto& text :
       {line, ZTNetworkTrace::redirect("https://id.zentrel.com/callback?code=SECRET1"),
        ZTNetworkTrace::deinit("https://id.zentrel.com/d?token=SECRET1")}) {
    EXPECT_EQ(text.find("SECRET1"), std::string::npos) << text;
    EXPECT_EQ(text.find("pw@"), std::string::npos) << text;
  }

  const nlohmann::json body = {{"email", "a@b.c"}, {"password", "SECRET2"}, {"code", "123456"}};
  const auto bodyLine = ZTNetworkTrace::requestBody(body, 57);
  EXPECT_NE(bodyLine.find("57 bytes, keys: code, email, password"), std::string::npos);
  const nlohmann::json answer = {{"access_token", "SECRET3"}, {"csrf_token", "SECRET4"}};
  const auto answerLine = ZTNetworkTrace::answer(200, answer, 44);
  EXPECT_NE(answerLine.find("200, 44 bytes, keys: access_token, csrf_token"), std::string::npos);
  for (const auto& text : {bodyLine, answerLine}) {
    for (const char* secret : {"SECRET2", "123456", "a@b.c", "SECRET3", "SECRET4"}) {
      EXPECT_EQ(text.find(secret), std::string::npos) << text;
    }
  }
}

}  // namespace
