// Identity server, OAuth with PKCE, and the API server read with the minted token.
#include "SandboxFixture.hpp"

namespace sbtest {
namespace {

class OAuthTest : public SandboxTest {
 protected:
  struct Flow {
    std::string verifier = t::randomToken(), state = t::randomToken();
    std::string code;  // authorization code
  };

  static std::string authTarget(const Flow& f, const std::string& clientId = "sandbox-app") {
    return "/auth?client_id=" + clientId + "&state=" + f.state +
           "&response_type=code&code_challenge=" + t::pkceChallenge(f.verifier) +
           "&code_challenge_method=S256";
  }

  // Follows a 302 of the identity server by hand (the kit never follows them) and returns its
  // answer.
  static t::Response follow(const t::Response& redirect, const std::string& bearer = {}) {
    const auto location = redirect.header("Location");
    EXPECT_TRUE(location.has_value());
    const auto url = t::splitUrl(location.value_or(""));
    return get(url.host, url.target, bearer);
  }

  static std::string tokenForm(const std::string& code, const std::string& verifier,
                               const std::string& clientId = "sandbox-app") {
    return "client_id=" + clientId + "&code=" + code + "&code_verifier=" + verifier +
           "&grant_type=authorization_code";
  }

  static t::Response exchange(const std::string& form) {
    return t::postForm(sb(), "id.zentrel.com", "/api/v1.1/oauth/token", form);
  }

  // The whole road up to the authorization code; expects no skips.
  static void runToCode(Flow& f, const std::string& bearer) {
    const auto auth = id("/oauth" + authTarget(f));
    ASSERT_EQ(auth.status, 302) << auth.body;
    const auto location = *auth.header("Location");
    EXPECT_EQ(location.rfind("https://id.zentrel.com/login?login_challenge=", 0), 0u) << location;
    const std::string lc = *t::queryItem(location, "login_challenge");
    EXPECT_EQ(lc.size(), 43u);

    const auto lookup = id("/oauth/login?challenge=" + lc, bearer);
    ASSERT_EQ(lookup.status, 200);
    EXPECT_EQ(lookup.json(), (nlohmann::json{{"skip", false}, {"email", "user1@example.com"}}));

    ASSERT_EQ(idPost("/auth/code", R"({"email":"user1@example.com"})").status, 200);
    EXPECT_EQ(idPost("/oauth/login", R"({"code":"x","challenge":")" + lc + R"("})", bearer).status,
              401);
    const auto login = idPost(
        "/oauth/login",
        R"({"code":")" + *sb().lastCode("user1@example.com") + R"(","challenge":")" + lc + R"("})",
        bearer);
    ASSERT_EQ(login.status, 200);
    const std::string u1 = login.json()["redirect"];
    EXPECT_EQ(u1.rfind("https://id.zentrel.com/api/v1.1/oauth/auth?login_verifier=", 0), 0u);

    const auto afterLogin = get("id.zentrel.com", t::splitUrl(u1).target);
    ASSERT_EQ(afterLogin.status, 302);
    EXPECT_EQ(sb().requests().back().endpoint, "oauth.login_verifier");
    const std::string cc = *t::queryItem(*afterLogin.header("Location"), "consent_challenge");

    const auto consent = id("/oauth/consent/" + t::percentEncode(cc), bearer);
    ASSERT_EQ(consent.status, 200);
    const auto cj = consent.json();
    EXPECT_EQ(cj["requested_scope"], (nlohmann::json{"user:email:read", "user:data:read",
                                                     "documents:passport:status:read"}));
    EXPECT_EQ(cj["skip"], false);
    EXPECT_TRUE(cj["request_url"].is_string());

    EXPECT_EQ(idPost("/oauth/consent",
                     R"({"challenge":")" + cc + R"(","grantScopes":["user:email:read"]})", bearer)
                  .status,
              400);
    const auto grant = idPost(
        "/oauth/consent",
        R"({"challenge":")" + cc +
            R"(","grantScopes":["user:email:read","user:data:read","documents:passport:status:read"]})",
        bearer);
    ASSERT_EQ(grant.status, 200);
    const auto afterConsent =
        get("id.zentrel.com", t::splitUrl(grant.json()["redirect"].get<std::string>()).target);
    ASSERT_EQ(afterConsent.status, 302);
    const auto callback = *afterConsent.header("Location");
    EXPECT_EQ(callback.rfind("https://id.zentrel.com/callback?code=", 0), 0u);
    EXPECT_EQ(t::queryItem(callback, "state"), f.state);
    f.code = *t::queryItem(callback, "code");
  }
};

TEST_F(OAuthTest, FullRoadWithPkceAndTheApiRead) {
  const std::string bearer = signInByRoad("user1@example.com");
  EXPECT_EQ(id("/auth/check", bearer).status, 200);
  Flow f;
  ASSERT_NO_FATAL_FAILURE(runToCode(f, bearer));

  const auto bad = exchange(tokenForm(f.code, t::randomToken()));
  EXPECT_EQ(bad.status, 400);
  EXPECT_EQ(bad.json()["error"], "invalid_grant");
  EXPECT_EQ(exchange(tokenForm(f.code, f.verifier, "other-app")).json()["error"], "invalid_client");
  EXPECT_EQ(exchange("client_id=sandbox-app&grant_type=password").json()["error"],
            "unsupported_grant_type");

  const auto good = exchange(tokenForm(f.code, f.verifier));
  ASSERT_EQ(good.status, 200) << good.body;
  const auto j = good.json();
  EXPECT_EQ(j["token_type"], "Bearer");
  EXPECT_EQ(j["expires_in"], 3600);
  EXPECT_EQ(j["refresh_token"].get<std::string>().size(), 43u);
  EXPECT_EQ(j["scope"], "user:email:read user:data:read documents:passport:status:read");
  const std::string token = j["access_token"];
  EXPECT_EQ(token.size(), 43u);
  EXPECT_EQ(exchange(tokenForm(f.code, f.verifier)).status, 400);  // single use

  const auto user = api("/user", token);
  ASSERT_EQ(user.status, 200);
  EXPECT_EQ(user.json()["email"], "user1@example.com");
  EXPECT_EQ(api("/user", bearer).status, 401);  // the session token is not an access token

  // The Location targets have no route; nothing in the log hit them.
  for (const auto& e : sb().requests()) EXPECT_NE(e.status, 404) << e.target;
}

TEST_F(OAuthTest, StateThatReusesTheVerifierIsRefused) {
  const std::string bearer = sb().signIn("user1@example.com");
  Flow f;
  f.state = f.verifier;  // a kit that reuses the verifier as state
  ASSERT_NO_FATAL_FAILURE(runToCode(f, bearer));
  const auto r = exchange(tokenForm(f.code, f.verifier));
  EXPECT_EQ(r.status, 400);
  EXPECT_EQ(r.json()["error"], "invalid_request");
  EXPECT_EQ(r.json()["error_description"], "state reuses the code verifier");
}

TEST_F(OAuthTest, RememberedStepsAreSkippedTheSecondTime) {
  const std::string bearer = sb().signIn("user1@example.com");
  Flow first;
  ASSERT_NO_FATAL_FAILURE(runToCode(first, bearer));

  Flow f;
  const auto auth = id("/oauth" + authTarget(f));
  const std::string lc = *t::queryItem(*auth.header("Location"), "login_challenge");
  const auto lookup = id("/oauth/login?challenge=" + lc, bearer).json();
  ASSERT_EQ(lookup["skip"], true);
  const auto afterLogin =
      get("id.zentrel.com", t::splitUrl(lookup["redirect"].get<std::string>()).target);
  ASSERT_EQ(afterLogin.status, 302);
  const std::string cc = *t::queryItem(*afterLogin.header("Location"), "consent_challenge");
  const auto consent = id("/oauth/consent/" + cc, bearer).json();
  ASSERT_EQ(consent["skip"], true);
  const auto afterConsent =
      get("id.zentrel.com", t::splitUrl(consent["redirect_url"].get<std::string>()).target);
  ASSERT_EQ(afterConsent.status, 302);
  const std::string code = *t::queryItem(*afterConsent.header("Location"), "code");
  EXPECT_EQ(exchange(tokenForm(code, f.verifier)).status, 200);
  // The used login challenge is gone.
  EXPECT_EQ(id("/oauth/login?challenge=" + lc, bearer).status, 404);
}

TEST_F(OAuthTest, AuthorizationRequestIsChecked) {
  Flow f;
  EXPECT_EQ(id("/oauth" + authTarget(f, "unknown-app")).status, 400);
  EXPECT_EQ(id("/oauth/auth?client_id=sandbox-app&state=s&response_type=code&code_challenge=short"
               "&code_challenge_method=S256")
                .status,
            400);
  EXPECT_EQ(id("/oauth/auth?client_id=sandbox-app&state=&response_type=code&code_challenge=" +
               t::pkceChallenge("v") + "&code_challenge_method=S256")
                .status,
            400);
  // Development hosts stay on development URLs.
  const auto dev = get("id.dev.zentrel.com", "/api/v1.1/oauth" + authTarget(f));
  ASSERT_EQ(dev.status, 302);
  EXPECT_EQ(dev.header("Location")->rfind("https://id.dev.zentrel.com/login?", 0), 0u);
  EXPECT_EQ(dev.header("Content-Length"), "0");
  // Without a session the lookups answer 401; an unknown challenge 404.
  const std::string lc = *t::queryItem(*dev.header("Location"), "login_challenge");
  EXPECT_EQ(id("/oauth/login?challenge=" + lc).status, 401);
  EXPECT_EQ(id("/oauth/login?challenge=nope", sb().signIn("user1@example.com")).status, 404);
  EXPECT_EQ(id("/oauth/auth?login_verifier=nope").status, 404);
  EXPECT_EQ(sb().requests().back().endpoint, "oauth.login_verifier");
  EXPECT_EQ(id("/oauth/auth?consent_verifier=nope").status, 404);
  EXPECT_EQ(sb().requests().back().endpoint, "oauth.consent_verifier");
}

TEST_F(OAuthTest, OddConsentChallengeIsReadFromTheRawPath) {
  const std::string bearer = sb().signIn("user1@example.com");
  sb().setSkip("sandbox-app", sandbox::SkipPolicy::Always, sandbox::SkipPolicy::Never);
  sb().setNextConsentChallenge("odd/challenge ?#%+");
  Flow f;
  const auto auth = id("/oauth" + authTarget(f));
  const std::string lc = *t::queryItem(*auth.header("Location"), "login_challenge");
  const auto lookup = id("/oauth/login?challenge=" + lc, bearer).json();
  ASSERT_EQ(lookup["skip"], true);
  const auto afterLogin =
      get("id.zentrel.com", t::splitUrl(lookup["redirect"].get<std::string>()).target);
  const std::string cc = *t::queryItem(*afterLogin.header("Location"), "consent_challenge");
  EXPECT_EQ(cc, "odd/challenge ?#%+");
  const auto consent = id("/oauth/consent/" + t::percentEncode(cc), bearer);
  ASSERT_EQ(consent.status, 200) << consent.body;
  EXPECT_EQ(consent.json()["skip"], false);
  EXPECT_EQ(sb().requests("oauth.consent.get").at(0).target,
            "/api/v1.1/oauth/consent/odd%2Fchallenge%20%3F%23%25%2B");
}

TEST_F(OAuthTest, ApiServerReads) {
  const std::string token = sb().grant("user1@example.com", "sandbox-app");
  auto r = api("/user", token);
  ASSERT_EQ(r.status, 200);
  const auto user = r.json();
  EXPECT_EQ(user["id"], "6f1c2a9e-0b7d-4c1e-9a53-2f8d0c6b1e47");
  ASSERT_EQ(user["phones"].size(), 1u);
  EXPECT_EQ(user["phones"][0]["number"], "+4915100000001");
  EXPECT_TRUE(user["phones"][0]["created_at"].is_number_integer());

  const auto address = api("/user/address", token).json();
  ASSERT_EQ(address.size(), 1u);
  EXPECT_EQ(address[0].size(), 12u);
  EXPECT_DOUBLE_EQ(address[0]["lat"].get<double>(), 52.52);

  EXPECT_EQ(api("/user/info/personal", token).json()["first_name"], "Test");
  EXPECT_EQ(api("/scopes", token).json()["scopes"].size(), 3u);
  EXPECT_EQ(api("/accounts/active", token).json(), (nlohmann::json{{"address", "acc-1"}}));
  EXPECT_EQ(api("/accounts", token).json()[0]["address"], "acc-1");
  EXPECT_EQ(api("/documents", token).json(), nlohmann::json::array());

  const std::string smsToken = sb().grant("sms.user@example.com", "sandbox-app");
  r = api("/user/info/personal", smsToken);
  EXPECT_EQ(r.status, 204);
  EXPECT_EQ(r.body, "");

  sb().putFile("report.pdf", std::string("%PDF\0bytes", 10));
  r = api("/files/report.pdf", token);
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, std::string("%PDF\0bytes", 10));
  EXPECT_EQ(api("/files/missing", token).status, 404);

  sb().expireAccessTokens();
  r = api("/user", token);
  EXPECT_EQ(r.status, 401);
  EXPECT_EQ(r.body, "unauthorized");
  EXPECT_EQ(api("/user", "").status, 401);
}

}  // namespace
}  // namespace sbtest
