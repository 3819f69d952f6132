#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "OAuthFlowSupport.hpp"
#include "ZTAPI/ZTOAuth.hpp"
#include "ZTNetworkCore/ZTNetworkCore.hpp"
#include "ZTOAuth/ZTOAuthUtilites/ZTOAuthRedirectManager.hpp"
#include "support/LogTap.hpp"

using namespace ZentrelSDK;
using namespace oauthtest;
using sandbox::Fault;

namespace {

// The one callback a client call makes, kept as long as the callbacks live.
template <class T>
struct Outcome {
  struct Heard {
    std::optional<T> value;
    std::optional<std::string> error;
    int calls = 0;
  };
  std::shared_ptr<Heard> heard = std::make_shared<Heard>();
  std::optional<T>& value = heard->value;
  std::optional<std::string>& error = heard->error;
  int& calls = heard->calls;
  std::function<void(const T&)> success() {
    return [heard = heard](const T& v) {
      heard->value = v;
      ++heard->calls;
    };
  }
  std::function<void(const std::string&)> failure() {
    return [heard = heard](const std::string& e) {
      heard->error = e;
      ++heard->calls;
    };
  }
};

}  // namespace

class OAuthClientTest : public OAuthFlowTest {
 protected:
  template <class T>
  bool wait(const Outcome<T>& outcome) {
    return ui->runUntil([&] { return outcome.calls > 0; }, 15);
  }

  Outcome<ZTOAuthConsentResponse> lookup(std::string answer) {
    sb().inject("oauth.consent.get", Fault::json(200, std::move(answer)));
    Outcome<ZTOAuthConsentResponse> outcome;
    ZTOAuth::consent("CC", outcome.success(), outcome.failure());
    EXPECT_TRUE(wait(outcome));
    EXPECT_EQ(outcome.calls, 1);
    return outcome;
  }
};

TEST_F(OAuthClientTest, AuthorizationCounts302AsSuccessAndNeverFollowsIt) {
  Outcome<std::string> outcome;
  ZTOAuth::auth(kApp, {"user:email:read"}, "opaque-state", ZTPKCE::challenge("v"), "code", "S256",
                outcome.success(), outcome.failure());
  ASSERT_TRUE(wait(outcome));
  EXPECT_EQ(outcome.value, "Recognition started");
  EXPECT_EQ(outcome.calls, 1);
  ASSERT_EQ(sb().count("oauth.auth"), 1u);
  const auto auth = sb().requests("oauth.auth")[0];
  EXPECT_EQ(auth.status, 302);
  EXPECT_EQ(auth.param("scope"), std::nullopt);
  EXPECT_EQ(auth.header("Authorization"), "Bearer");
  EXPECT_EQ(unroutedRequests(), 0u);
}

TEST_F(OAuthClientTest, SessionTokenGoesOnlyWithLoginAndConsent) {
  signIn();
  const auto session = ZTTokenUtilites::shared()->getToken();
  sb().inject("oauth.login.get", Fault::json(200, R"({"skip":false,"email":"e"})"));
  Outcome<ZTOAuthLoginResponse> login;
  ZTOAuth::login("LC", login.success(), login.failure());
  ASSERT_TRUE(wait(login));
  ASSERT_TRUE(login.value);
  EXPECT_FALSE(login.value->skip);
  const auto lookup = sb().requests("oauth.login.get").at(0);
  EXPECT_EQ(lookup.header("Authorization"), "Bearer " + session);
  EXPECT_EQ(lookup.param("challenge"), "LC");

  sb().inject("oauth.token", Fault::json(400, R"({"error":"invalid_grant"})"));
  Outcome<ZTOAuthTokenResponse> token;
  ZTOAuth::token("AC", kApp, {"user:email:read"}, "authorization_code", "V", token.success(),
                 token.failure());
  ASSERT_TRUE(wait(token));
  EXPECT_EQ(token.error, "answer has not status code = 200 (400)");
  const auto exchange = sb().requests("oauth.token").at(0);
  EXPECT_EQ(exchange.header("Authorization"), "Bearer");
  EXPECT_EQ(exchange.body,
            "client_id=sandbox-app&code=AC&code_verifier=V&grant_type=authorization_code");
}

TEST_F(OAuthClientTest, ConsentLookupIsReadKeyByKey) {
  auto skipped =
      lookup(R"({"requested_scope":[],"skip":true,"request_url":"R","redirect_url":"U","x":1})");
  ASSERT_TRUE(skipped.value);
  EXPECT_EQ(skipped.value->requested_scope, std::vector<std::string>{});
  EXPECT_TRUE(skipped.value->skip);
  EXPECT_EQ(skipped.value->redirect_url, "R");
  EXPECT_EQ(skipped.value->urlWhileSkipping, "U");

  auto oddSkip = lookup(R"({"requested_scope":["b","a"],"skip":"yes","request_url":"R"})");
  ASSERT_TRUE(oddSkip.value);
  EXPECT_FALSE(oddSkip.value->skip);
  EXPECT_EQ(oddSkip.value->requested_scope, (std::vector<std::string>{"b", "a"}));
}

TEST_F(OAuthClientTest, ConsentLookupFailures) {
  for (const char* body :
       {R"({"requested_scope":["a"]})", R"({"requested_scope":[1],"request_url":"R"})",
        R"({"requested_scope":"a","request_url":"R"})", "[]", R"("text")", "not json"}) {
    auto outcome = lookup(body);
    EXPECT_EQ(outcome.error, "cannot decode answer") << body;
  }
  for (auto [fault, text] : std::vector<std::pair<Fault, std::string>>{
           {Fault::answer(401, "no"), "answer has not status code = 200 (401)"},
           {Fault::answer(204), "answer has not status code = 200 (204)"},
           {Fault::emptyBody(), "cannot decode answer"}}) {
    sb().inject("oauth.consent.get", fault);
    Outcome<ZTOAuthConsentResponse> outcome;
    ZTOAuth::consent("CC", outcome.success(), outcome.failure());
    ASSERT_TRUE(wait(outcome));
    EXPECT_EQ(outcome.error, text);
  }
}

// The network core keeps the manager it listens through until another takes its place.
TEST_F(OAuthClientTest, TheRedirectManagerLastsWhileTheNetworkCoreListensThroughIt) {
  const auto listening = ZTNetworkCore::getCurrentRedirectManager();
  ASSERT_TRUE(listening);
  zttest::LogTap log;
  ZTLogger::showNetworkTraces(true);
  auto manager = std::make_shared<ZTOAuthRedirectManager>();
  const std::weak_ptr<ZTOAuthRedirectManager> held = manager;
  manager->beginListeninngForRedirections();
  manager.reset();
  EXPECT_FALSE(held.expired());
  EXPECT_FALSE(log.contains("REDIRECT MANAGER DID DEINITED"));
  listening.value()->beginListeninngForRedirections();
  EXPECT_TRUE(held.expired());
  EXPECT_TRUE(log.contains("REDIRECT MANAGER DID DEINITED"));
  ZTLogger::showNetworkTraces(false);
}
