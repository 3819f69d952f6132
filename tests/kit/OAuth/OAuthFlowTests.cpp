#include <algorithm>
#include <cctype>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <Foundation/Bundle.hpp>
#include <Foundation/UserDefaults.hpp>

#include "OAuthFlowSupport.hpp"
#include "ZTAPI/ZTPrivateAPIAuthUser.hpp"
#include "ZTLogger.hpp"
#include "ZTNetworkCore/ZTNetworkCore.hpp"
#include "ZTOAuth/ZTOAuthUtilites/ZTOAuthRedirectManager.hpp"
#include "support/LateCallbacks.hpp"

using namespace ZentrelSDK;
using namespace oauthtest;
using sandbox::Fault;
using sandbox::SkipPolicy;

namespace {

std::vector<std::string> endpointsOf(const std::vector<sandbox::LoggedRequest>& log) {
  std::vector<std::string> endpoints;
  for (const auto& entry : log) endpoints.push_back(entry.endpoint);
  return endpoints;
}

std::vector<std::string> queryKeys(const sandbox::LoggedRequest& request) {
  std::vector<std::string> keys;
  for (const auto& [key, value] : request.query) keys.push_back(key);
  std::sort(keys.begin(), keys.end());
  return keys;
}

bool isBase64URL43(const std::string& text) {
  if (text.size() != 43) return false;
  for (char c : text)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') return false;
  return true;
}

}  // namespace

TEST_F(OAuthFlowTest, SignedInSessionWithRememberedStepsEndsWithTheAccessToken) {
  signIn();
  Asker asker;
  ask(asker);
  ASSERT_TRUE(waitForAnswer(asker));
  EXPECT_EQ(asker.answers, std::vector<bool>{true});
  EXPECT_TRUE(asker.onMain);
  ASSERT_TRUE(ZTTokenUtilites::shared()->getOAuthToken());
  EXPECT_TRUE(isBase64URL43(*ZTTokenUtilites::shared()->getOAuthToken()));
  ui->settle();
  EXPECT_FALSE(ui->isLoaderShowing());
  EXPECT_EQ(entrance->presented, 0);

  // The short road, and no redirect target ever fetched.
  EXPECT_EQ(endpointsOf(sb().requests()),
            (std::vector<std::string>{"auth.check", "oauth.auth", "oauth.login.get",
                                      "oauth.login_verifier", "oauth.consent.get",
                                      "oauth.consent_verifier", "oauth.token"}));
  EXPECT_EQ(unroutedRequests(), 0u);
  for (const char* redirected : {"oauth.auth", "oauth.login_verifier", "oauth.consent_verifier"})
    EXPECT_EQ(sb().requests(redirected).at(0).status, 302) << redirected;

  // The next asker is answered at once, on its own thread, with nothing sent.
  sb().clearLog();
  auto answered = zttest::flag();
  ZTOAuthCore::shared()->givePermissions([answered](bool granted) { *answered = granted; });
  EXPECT_TRUE(*answered);
  ui->settle();
  EXPECT_TRUE(sb().requests().empty());
  EXPECT_FALSE(ui->isLoaderShowing());
}

TEST_F(OAuthFlowTest, AuthorizationQueryAndTokenFormAreExact) {
  signIn();
  Asker asker;
  ask(asker);
  ASSERT_TRUE(waitForAnswer(asker));
  ASSERT_EQ(asker.answers, std::vector<bool>{true});

  const auto auth = sb().requests("oauth.auth").at(0);
  EXPECT_EQ(queryKeys(auth),
            (std::vector<std::string>{"client_id", "code_challenge", "code_challenge_method",
                                      "response_type", "state"}));
  EXPECT_EQ(auth.param("client_id"), kApp);
  EXPECT_EQ(auth.param("response_type"), "code");
  EXPECT_EQ(auth.param("code_challenge_method"), "S256");
  const std::string state = auth.param("state").value_or("");
  const std::string challenge = auth.param("code_challenge").value_or("");
  EXPECT_TRUE(isBase64URL43(state)) << state;
  EXPECT_TRUE(isBase64URL43(challenge)) << challenge;

  const auto token = sb().requests("oauth.token").at(0);
  const std::string prefix = "client_id=sandbox-app&code=";
  ASSERT_EQ(token.body.rfind(prefix, 0), 0u) << token.body;
  const auto verifierAt = token.body.find("&code_verifier=");
  const auto grantAt = token.body.find("&grant_type=authorization_code");
  ASSERT_NE(verifierAt, std::string::npos);
  ASSERT_NE(grantAt, std::string::npos);
  EXPECT_EQ(grantAt + std::string("&grant_type=authorization_code").size(), token.body.size());
  const std::string verifier = token.body.substr(verifierAt + 15, grantAt - verifierAt - 15);
  // The verifier leaves the device only here, and `state` is not it.
  EXPECT_TRUE(isBase64URL43(verifier)) << verifier;
  EXPECT_NE(verifier, state);
  EXPECT_EQ(ZTPKCE::challenge(verifier), challenge);
  EXPECT_EQ(auth.target.find(verifier), std::string::npos);
  EXPECT_EQ(token.header("Content-type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(token.header("Cookie"), std::nullopt);

  // The pair was for that flow only.
  EXPECT_EQ(ZTPKCE::getVerifierCode(), std::nullopt);
  EXPECT_EQ(ZTPKCE::getChallengeCode(), std::nullopt);
  EXPECT_FALSE(Foundation::UserDefaults::standard().contains("VERIFIED_CODE"));
}

TEST_F(OAuthFlowTest, EachFlowHasItsOwnVerifierAndState) {
  std::vector<std::string> states, challenges;
  for (int run = 0; run < 2; ++run) {
    ZTAccounts::logout();
    signIn();
    Asker asker;
    ask(asker);
    ASSERT_TRUE(waitForAnswer(asker));
    ASSERT_EQ(asker.answers, std::vector<bool>{true});
  }
  const auto auths = sb().requests("oauth.auth");
  ASSERT_EQ(auths.size(), 2u);
  EXPECT_NE(auths[0].param("state"), auths[1].param("state"));
  EXPECT_NE(auths[0].param("code_challenge"), auths[1].param("code_challenge"));
}

TEST_F(OAuthFlowTest, SignedOutSessionSignsInThroughTheEntranceAndGoesOn) {
  auto loaderShownAtEntrance = std::make_shared<bool>(true);
  entrance->onPresent = [this, loaderShownAtEntrance] {
    *loaderShownAtEntrance = ui->isLoaderShowing();
    signInAndAnnounce();
  };
  Asker asker;
  ask(asker);
  ASSERT_TRUE(waitForAnswer(asker));
  EXPECT_EQ(asker.answers, std::vector<bool>{true});
  EXPECT_EQ(entrance->presented, 1);
  EXPECT_FALSE(*loaderShownAtEntrance);
  EXPECT_EQ(sb().requests("auth.check").at(0).status, 401);
  EXPECT_EQ(sb().count("oauth.token"), 1u);
}

TEST_F(OAuthFlowTest, SecondAskerJoinsTheRunningFlow) {
  signIn();
  Asker first, second;
  ask(first);
  ask(second);
  ASSERT_TRUE(runUntil([&] { return !first.answers.empty() && !second.answers.empty(); }, 20));
  ui->settle();
  EXPECT_EQ(first.answers, std::vector<bool>{true});
  EXPECT_EQ(second.answers, std::vector<bool>{true});
  EXPECT_EQ(sb().count("auth.check"), 1u);
  EXPECT_EQ(sb().count("oauth.auth"), 1u);
  EXPECT_EQ(sb().count("oauth.token"), 1u);
}

TEST_F(OAuthFlowTest, CodeScreenAndConsentScreenWhenTheServerAsks) {
  sb().setSkip(kApp, SkipPolicy::Never, SkipPolicy::Never);
  signIn("otp.user@example.com");
  Asker asker;
  ask(asker);
  ASSERT_TRUE(enterCode("246810"));
  const auto rows = answerConsent(true);
  ASSERT_TRUE(waitForAnswer(asker));
  EXPECT_EQ(asker.answers, std::vector<bool>{true});

  const auto login = sb().requests("oauth.login.post").at(0);
  const auto body = nlohmann::json::parse(login.body);
  EXPECT_EQ(body["code"], "246810");
  EXPECT_EQ(body["challenge"], sb().requests("oauth.login.get").at(0).param("challenge"));

  const std::vector<std::string> requested{"user:email:read", "user:data:read",
                                           "documents:passport:status:read"};
  EXPECT_EQ(rows, (std::vector<std::string>{"Read email", "Read user personal info",
                                            "Read passport status"}));
  const auto grant = nlohmann::json::parse(sb().requests("oauth.consent.post").at(0).body);
  EXPECT_EQ(grant["grantScopes"], nlohmann::json(requested));
}

TEST_F(OAuthFlowTest, CancelledScreensEndTheFlowWithoutAlert) {
  sb().setSkip(kApp, SkipPolicy::Never, SkipPolicy::Always);
  signIn();
  Asker asker;
  ask(asker);
  ASSERT_TRUE(cancelCode());
  ASSERT_TRUE(waitForAnswer(asker));
  EXPECT_EQ(asker.answers, std::vector<bool>{false});
  EXPECT_FALSE(ui->alertTitle());
  EXPECT_EQ(sb().count("oauth.login.post"), 0u);

  sb().setSkip(kApp, SkipPolicy::Always, SkipPolicy::Never);
  Asker refused;
  ask(refused);
  ASSERT_TRUE(answerConsent(false));
  ASSERT_TRUE(waitForAnswer(refused));
  EXPECT_EQ(refused.answers, std::vector<bool>{false});
  EXPECT_FALSE(ui->alertTitle());
  EXPECT_EQ(sb().count("oauth.consent.post"), 0u);
  EXPECT_EQ(sb().count("oauth.token"), 0u);
}

struct StepFault {
  std::string name;
  const char* endpoint;
  Fault fault;
  std::optional<std::string> text;  // absent: the transport's own text
  std::vector<const char*> notReached;
};

void PrintTo(const StepFault& step, std::ostream* os) {
  *os << step.name;
}

class OAuthStepFailureTest : public OAuthFlowTest,
                             public ::testing::WithParamInterface<StepFault> {};

TEST_P(OAuthStepFailureTest, EndsWithTheLoaderGoneTheAlertAndFalse) {
  const auto& step = GetParam();
  sb().inject(step.endpoint, step.fault);
  signIn();
  Asker asker;
  ask(asker);
  expectStepFailure(step.text, asker);
  ui->settle();
  EXPECT_EQ(asker.answers.size(), 1u);
  for (const char* endpoint : step.notReached) EXPECT_EQ(sb().count(endpoint), 0u) << endpoint;
  EXPECT_EQ(unroutedRequests(), 0u);
  EXPECT_EQ(ZTPKCE::getVerifierCode(), std::nullopt);
}

// Each step's faults, and the steps after it that must not be reached.
std::vector<StepFault> stepFaults() {
  const std::string id = "https://id.zentrel.com";
  const std::string wrong = "Something went wrong";
  struct Row {
    const char* name;
    Fault fault;
    std::optional<std::string> text;
  };
  struct Step {
    const char* endpoint;
    std::vector<const char*> notReached;
    std::vector<Row> rows;
  };
  const std::vector<Step> steps = {
      {"auth.check", {"oauth.auth"}, {{"SessionCheckWithoutAnswer", Fault::drop().repeat(0), {}}}},
      {"oauth.auth",
       {"oauth.login.get"},
       {{"AuthorizationNot302", Fault::answer(500, "boom"), wrong},
        {"AuthorizationAnswered200", Fault::answer(200, "ok"), wrong},
        {"AuthorizationRedirectWithoutChallenge", Fault::redirect(302, id + "/login?foo=1"), wrong},
        {"AuthorizationRedirectWithError",
         Fault::redirect(302, id + "/login?error=invalid_request&login_challenge=x"), wrong},
        {"AuthorizationRedirectWithValuelessError",
         Fault::redirect(302, id + "/login?error&login_challenge=x"), wrong}}},
      {"oauth.login.get",
       {"oauth.login_verifier"},
       {{"LoginLookup401", Fault::answer(401, "no"), "unauthorized"},
        {"LoginLookup500", Fault::answer(500, "boom"), "answer has not status code = 200 (500)"},
        {"LoginLookupBadBody", Fault::malformedJson(), "cannot decode answer"}}},
      {"oauth.login.get",
       {"oauth.login_verifier", "oauth.login.post"},
       {{"LoginSkippedWithoutRedirect",
         Fault::json(200, R"({"skip":true,"email":"user1@example.com"})"), wrong}}},
      {"oauth.login_verifier",
       {"oauth.consent.get"},
       {{"LoginFollowUp404", Fault::answer(404, "gone"), "answer has not status code = 200 (404)"},
        {"LoginFollowUp401", Fault::answer(401, "no"), "unauthorized"},
        {"LoginFollowUpWithoutRedirect", Fault::answer(200, "ok"), wrong},
        {"LoginFollowUpRedirectWithoutChallenge",
         Fault::redirect(302, id + "/consent?login_challenge=abc"), wrong}}},
      {"oauth.consent.get",
       {"oauth.consent_verifier"},
       {{"ConsentLookup401", Fault::answer(401, "no"), "answer has not status code = 200 (401)"},
        {"ConsentLookupEmpty", Fault::emptyBody(), "cannot decode answer"},
        {"ConsentLookupArray", Fault::json(200, "[]"), "cannot decode answer"},
        {"ConsentLookupWithoutRequestedScopes",
         Fault::json(200, R"({"skip":true,"request_url":"r","redirect_url":"u"})"),
         "cannot decode answer"}}},
      {"oauth.consent.get",
       {"oauth.consent_verifier", "oauth.consent.post"},
       {{"ConsentSkippedWithoutRedirect",
         Fault::json(200, R"({"requested_scope":[],"skip":true,"request_url":"r"})"), wrong}}},
      {"oauth.consent_verifier",
       {"oauth.token"},
       {{"ConsentFollowUp500", Fault::answer(500, "boom"),
         "answer has not status code = 200 (500)"},
        {"ConsentFollowUpWithoutCode", Fault::redirect(302, id + "/callback?state=x"), wrong},
        {"ConsentFollowUpWithError", Fault::redirect(302, id + "/callback?error=access_denied"),
         wrong},
        {"CodeWithAnotherState", Fault::redirect(302, id + "/callback?code=AC&state=forged"),
         wrong},
        {"CodeWithoutState", Fault::redirect(302, id + "/callback?code=AC"), wrong}}},
      {"oauth.token",
       {},
       {{"Token400", Fault::json(400, R"({"error":"invalid_grant"})"),
         "answer has not status code = 200 (400)"},
        {"Token401", Fault::json(401, R"({"error":"invalid_client"})"), "unauthorized"},
        {"TokenWithoutRefreshToken",
         Fault::json(200,
                     R"({"access_token":"a","token_type":"Bearer","expires_in":1,"scope":""})"),
         "cannot decode answer"}}},
  };
  std::vector<StepFault> faults;
  for (const auto& step : steps)
    for (const auto& row : step.rows)
      faults.push_back({row.name, step.endpoint, row.fault, row.text, step.notReached});
  return faults;
}

INSTANTIATE_TEST_SUITE_P(Steps, OAuthStepFailureTest, ::testing::ValuesIn(stepFaults()),
                         [](const ::testing::TestParamInfo<StepFault>& info) {
                           return info.param.name;
                         });

TEST_F(OAuthFlowTest, LoginAndConsentSubmitFailuresEndTheFlow) {
  sb().setSkip(kApp, SkipPolicy::Never, SkipPolicy::Always);
  signIn();
  Asker wrongCode;
  ask(wrongCode);
  ASSERT_TRUE(enterCode("000000"));
  expectStepFailure("unauthorized", wrongCode);
  EXPECT_EQ(sb().count("oauth.login_verifier"), 0u);

  sb().setSkip(kApp, SkipPolicy::Always, SkipPolicy::Never);
  sb().inject("oauth.consent.post", Fault::answer(500, "boom"));
  runUntil([&] { return !ui->alertTitle(); }, 5);
  Asker grantFailed;
  ask(grantFailed);
  ASSERT_TRUE(answerConsent(true));
  expectStepFailure("answer has not status code = 200 (500)", grantFailed);
  EXPECT_EQ(sb().count("oauth.consent_verifier"), 0u);
}

TEST_F(OAuthFlowTest, FailedRandomSourceIsAStepFailureNotAWeakVerifier) {
  signIn();
  ZTPKCE::setRandomSource([](std::size_t, void*) { return Security::errSecInternalComponent; });
  Asker asker;
  ask(asker);
  expectStepFailure("Something went wrong", asker);
  EXPECT_EQ(sb().count("oauth.auth"), 0u);
}

TEST_F(OAuthFlowTest, MissingRedirectListenerIsAStepFailure) {
  signIn();
  ZTNetworkCore::disableRedirectListener();
  Asker asker;
  ask(asker);
  expectStepFailure("redirect manager did not set", asker);
  EXPECT_EQ(sb().count("oauth.auth"), 0u);

  auto manager = std::make_shared<ZTOAuthRedirectManager>();
  manager->beginListeninngForRedirections();
  runUntil([&] { return !ui->alertTitle(); }, 5);
  Asker again;
  ask(again);
  ASSERT_TRUE(waitForAnswer(again));
  EXPECT_EQ(again.answers, std::vector<bool>{true});
}

TEST_F(OAuthFlowTest, ConsentChallengeTravelsAsOnePathSegment) {
  sb().setNextConsentChallenge("a/b c+%?#~_.-");
  signIn();
  Asker asker;
  ask(asker);
  ASSERT_TRUE(waitForAnswer(asker));
  EXPECT_EQ(asker.answers, std::vector<bool>{true});
  const auto lookup = sb().requests("oauth.consent.get").at(0);
  EXPECT_EQ(lookup.target, "/api/v1.1/oauth/consent/a%2Fb%20c%2B%25%3F%23~_.-");
}

TEST_F(OAuthFlowTest, LogoutForgetsTokensAndTheNextAskerRunsTheFlow) {
  signIn();
  Asker asker;
  ask(asker);
  ASSERT_TRUE(waitForAnswer(asker));
  ASSERT_TRUE(ZTTokenUtilites::shared()->getOAuthToken());

  ASSERT_TRUE(ZTPKCE::createCodeVerifiedAndChallenge({}));
  ZTAccounts::logout();
  EXPECT_FALSE(ZTTokenUtilites::shared()->getOAuthToken());
  EXPECT_EQ(ZTTokenUtilites::shared()->getToken(), "");
  EXPECT_EQ(ZTPKCE::getVerifierCode(), std::nullopt);
  EXPECT_TRUE(sb().requests("oauth.token").size() == 1u);

  Asker next;
  ask(next);
  ASSERT_TRUE(waitForAnswer(next));
  EXPECT_EQ(next.answers, std::vector<bool>{true});
  EXPECT_EQ(sb().count("auth.check"), 2u);
  EXPECT_EQ(entrance->presented, 1);  // the session went with the log-out
  EXPECT_EQ(sb().count("oauth.token"), 2u);
}

TEST_F(OAuthFlowTest, LogsOfTheKitsOwnAppsCarryNoSecrets) {
  // Inside the kit's own apps warnings and errors print; none may carry a secret of the flow.
  const auto savedHost = Foundation::Bundle::main()->bundleIdentifier();
  Foundation::Bundle::setMainBundleIdentifier("com.zentrel.ZentrelSDK.Example");
  ZTLogger::resetApplicationCheck();
  std::ostringstream out;
  ZTLogger::setOutputStream(&out);

  sb().setSkip(kApp, SkipPolicy::Remembered, SkipPolicy::Remembered);
  signIn();
  Asker asker;
  ask(asker);
  // A remembered login is not there yet: the code comes by e-mail.
  const bool consented = enterCode() && answerConsent(true).has_value();
  const bool answered = consented && waitForAnswer(asker);

  ZTLogger::setOutputStream(nullptr);
  Foundation::Bundle::setMainBundleIdentifier(savedHost);
  ZTLogger::resetApplicationCheck();
  ASSERT_TRUE(answered);
  ASSERT_EQ(asker.answers, std::vector<bool>{true});

  const auto auth = sb().requests("oauth.auth").at(0);
  const auto token = sb().requests("oauth.token").at(0).body;
  const auto field = [&](const std::string& name) {
    const auto at = token.find(name + "=");
    return token.substr(at + name.size() + 1, token.find('&', at) - at - name.size() - 1);
  };
  const std::vector<std::string> secrets{
      auth.param("state").value_or("?"),
      auth.param("code_challenge").value_or("?"),
      sb().requests("oauth.login.get").at(0).param("challenge").value_or("?"),
      sb().requests("oauth.consent.get")
          .at(0)
          .path.substr(std::string("/api/v1.1/oauth/consent/").size()),
      field("code"),
      field("code_verifier"),
      *sb().lastCode(kUser),
      ZTTokenUtilites::shared()->getToken(),
      ZTTokenUtilites::shared()->getOAuthToken().value_or("?")};
  const std::string logged = out.str();
  for (const auto& secret : secrets) {
    ASSERT_GE(secret.size(), 6u);
    EXPECT_EQ(logged.find(secret), std::string::npos) << "logged: " << secret;
  }
}
