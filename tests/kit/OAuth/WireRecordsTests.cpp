#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <Foundation/Data.hpp>

#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthConsentResponse.hpp"
#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthLoginResponse.hpp"
#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthTokenResponse.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"
#include "ZTNetworkCore/ZTOAuthRequestBodies.hpp"
#include "ZTNetworkCore/ZTUrlEncodedQuery.hpp"

using namespace ZentrelSDK;
using nlohmann::json;

namespace {

// Decodes an answer the way the network core does: snake_case keys converted, strict.
template <class T>
Foundation::Result<T, Foundation::DecodingError> answer(const std::string& text) {
  return parse<T>(Foundation::dataFromString(text));
}

}  // namespace

TEST(OAuthRequestBodies, EncodeWithTheirWireKeysOnly) {
  const json auth = OAuthRequestBodyAuth("app", "S", "code", "C", "S256");
  EXPECT_EQ(auth, json({{"client_id", "app"},
                        {"state", "S"},
                        {"response_type", "code"},
                        {"code_challenge", "C"},
                        {"code_challenge_method", "S256"}}));

  const json token = OAuthRequestBodyToken("AC", "app", "authorization_code", "");
  EXPECT_EQ(token, json({{"code", "AC"},
                         {"client_id", "app"},
                         {"grant_type", "authorization_code"},
                         {"code_verifier", ""}}));

  EXPECT_EQ(json(OAuthRequestBodyGetLogin("LC")), json({{"challenge", "LC"}}));
  EXPECT_EQ(json(OAuthRequestBodyPostLogin("123456", "LC")),
            json({{"code", "123456"}, {"challenge", "LC"}}));
}

TEST(OAuthRequestBodies, ConsentKeepsScopeListAndOrder) {
  const json none = OAuthRequestBodyConsent("CC", {});
  ASSERT_TRUE(none.contains("grantScopes"));
  EXPECT_TRUE(none["grantScopes"].is_array());
  EXPECT_TRUE(none["grantScopes"].empty());

  const json three = OAuthRequestBodyConsent("CC", {"c", "a", "b"});
  EXPECT_EQ(three, json({{"challenge", "CC"}, {"grantScopes", {"c", "a", "b"}}}));
}

TEST(OAuthRequestBodies, TokenFormListsKeysInAscendingOrder) {
  auto form = ZTUrlEncodedQuery::createRequest(
      OAuthRequestBodyToken("A+C/=", "sandbox-app", "authorization_code", "v v"));
  ASSERT_TRUE(form.isSuccess());
  EXPECT_EQ(Foundation::stringFromBytes(form.value()),
            "client_id=sandbox-app&code=A%2BC/%3D&code_verifier=v%20v"
            "&grant_type=authorization_code");
}

TEST(OAuthAnswers, TokenAnswerNeedsAllFiveMembers) {
  const std::string snake =
      R"({"access_token":"AT","token_type":"Bearer","expires_in":3600,)"
      R"("refresh_token":"RT","scope":"user:email:read user:data:read","extra":[1]})";
  auto decoded = answer<ZTOAuthTokenResponse>(snake);
  ASSERT_TRUE(decoded.isSuccess()) << decoded.error().description();
  EXPECT_EQ(decoded.value(),
            ZTOAuthTokenResponse("RT", 3600, "AT", "user:email:read user:data:read", "Bearer"));

  auto camel = answer<ZTOAuthTokenResponse>(
      R"({"accessToken":"AT","tokenType":"Bearer","expiresIn":3600,"refreshToken":"RT","scope":"s"})");
  ASSERT_TRUE(camel.isSuccess());
  EXPECT_EQ(camel.value().accessToken, "AT");

  for (const char* key : {"access_token", "token_type", "expires_in", "refresh_token", "scope"}) {
    json missing = json::parse(snake);
    missing.erase(key);
    EXPECT_TRUE(answer<ZTOAuthTokenResponse>(missing.dump()).isFailure()) << key;
  }
  json textual = json::parse(snake);
  textual["expires_in"] = "3600";
  EXPECT_TRUE(answer<ZTOAuthTokenResponse>(textual.dump()).isFailure());
  textual["expires_in"] = 3600.5;
  EXPECT_TRUE(answer<ZTOAuthTokenResponse>(textual.dump()).isFailure());
}

TEST(OAuthAnswers, LoginAnswerRedirectIsOptionalOthersAreNot) {
  auto skipped = answer<ZTOAuthLoginResponse>(
      R"({"skip":true,"email":"user1@example.com","redirect":"https://id/next"})");
  ASSERT_TRUE(skipped.isSuccess());
  EXPECT_EQ(skipped.value(), ZTOAuthLoginResponse(true, "user1@example.com", "https://id/next"));

  for (const char* text :
       {R"({"skip":false,"email":"e"})", R"({"skip":false,"email":"e","redirect":null})"}) {
    auto decoded = answer<ZTOAuthLoginResponse>(text);
    ASSERT_TRUE(decoded.isSuccess()) << text;
    EXPECT_EQ(decoded.value().redirect, std::nullopt);
  }
  EXPECT_TRUE(answer<ZTOAuthLoginResponse>(R"({"skip":true,"redirect":"r"})").isFailure());
  EXPECT_TRUE(answer<ZTOAuthLoginResponse>(R"({"email":"e"})").isFailure());
  EXPECT_TRUE(answer<ZTOAuthLoginResponse>(R"({"skip":1,"email":"e"})").isFailure());
  EXPECT_TRUE(
      answer<ZTOAuthLoginResponse>(R"({"skip":true,"email":"e","redirect":5})").isFailure());
}
