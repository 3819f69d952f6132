#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "ZTNetworkCore/ZTOAuthRequestBodies.hpp"
#include "ZTNetworkCore/ZTUrlEncodedQuery.hpp"

using namespace ZentrelSDK;
using nlohmann::json;

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
