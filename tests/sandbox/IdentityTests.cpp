// Identity server, sign-in and account roads.
#include "SandboxFixture.hpp"

namespace sbtest {
namespace {

class IdentityTest : public SandboxTest {};

TEST_F(IdentityTest, EmailCheckNamesTheChallenge) {
  auto r = idPost("/auth", R"({"email":"user1@example.com"})");
  ASSERT_EQ(r.status, 200);
  EXPECT_EQ(r.header("Content-Type"), "application/json");
  EXPECT_EQ(r.json(),
            (nlohmann::json{{"success", true}, {"challenge", {{"challenge_type", "password"}}}}));
  EXPECT_EQ(
      idPost("/auth", R"({"email":"otp.user@example.com"})").json()["challenge"]["challenge_type"],
      "otp");
  EXPECT_EQ(
      idPost("/auth", R"({"email":"sms.user@example.com"})").json()["challenge"]["challenge_type"],
      "sms");
  EXPECT_EQ(idPost("/auth", R"({"email":"new@example.com"})").json()["challenge"]["challenge_type"],
            "emailLink");

  sandbox::UserSeed off;
  off.email = "off@example.com";
  off.password = "password1";
  off.disabled = true;
  sb().addUser(off);
  EXPECT_EQ(idPost("/auth", R"({"email":"off@example.com"})").json(),
            (nlohmann::json{{"success", false}, {"message", "Account is disabled"}}));

  r = idPost("/auth", R"(["not an object"])");
  EXPECT_EQ(r.status, 400);
  EXPECT_FALSE(r.body.empty());
  EXPECT_EQ(r.header("Content-Type"), "text/plain; charset=utf-8");
  EXPECT_EQ(idPost("/auth", R"({"email":1})").status, 400);
}

TEST_F(IdentityTest, SignInRoadGivesASessionTheKitSendsAsBase64) {
  ASSERT_EQ(idPost("/auth/code", R"({"email":"user1@example.com"})").json(),
            (nlohmann::json{{"timeout", 60}}));
  const auto outbox = sb().outbox();
  ASSERT_EQ(outbox.size(), 1u);
  EXPECT_EQ(outbox[0].channel, "email");
  EXPECT_EQ(outbox[0].sentBy, "auth.code");
  EXPECT_EQ(outbox[0].code.size(), 6u);
  const std::string code = *sb().lastCode("user1@example.com");

  const std::string wrongPassword =
      R"({"challengeType":"password","email":"user1@example.com","password":"nope","code":")" +
      code + R"("})";
  EXPECT_EQ(idPost("/auth/token", wrongPassword).status, 401);
  EXPECT_EQ(
      idPost(
          "/auth/token",
          R"({"challengeType":"sms","email":"user1@example.com","password":"password1","code":"1"})")
          .status,
      400);

  const std::string good =
      R"({"challengeType":"password","email":"user1@example.com","password":"password1","code":")" +
      code + R"("})";
  const auto r = idPost("/auth/token", good);
  ASSERT_EQ(r.status, 200) << r.body;
  const auto j = r.json();
  EXPECT_EQ(j["success"], true);
  EXPECT_EQ(j["expires_in"], 3600);
  const std::string csrf = j["csrf_token"];
  EXPECT_EQ(csrf.size(), 43u);
  ASSERT_TRUE(r.header("Set-Cookie").has_value());
  EXPECT_EQ(r.header("Set-Cookie")->rfind("zt_sandbox=", 0), 0u);
  EXPECT_NE(r.header("Set-Cookie")->find("; Path=/; Secure; HttpOnly"), std::string::npos);
  EXPECT_TRUE(sb().outbox()[0].used);

  EXPECT_EQ(id("/auth/check", t::base64(csrf)).status, 200);
  EXPECT_EQ(id("/auth/check", csrf).status, 401);  // T itself is not the bearer
  EXPECT_EQ(id("/auth/check").status, 401);
  EXPECT_EQ(idPost("/auth/token", good).status, 401);  // the code is used up

  const auto settings = id("/settings", t::base64(csrf));
  ASSERT_EQ(settings.status, 200);
  const auto s = settings.json();
  EXPECT_EQ(s.size(), 12u);
  EXPECT_EQ(s["email"], "user1@example.com");
  EXPECT_EQ(s["id"], "6f1c2a9e-0b7d-4c1e-9a53-2f8d0c6b1e47");
  EXPECT_EQ(s["country"], "DE");
  EXPECT_EQ(s["sms_code_enabled"], false);
  EXPECT_TRUE(s["created_at"].is_number_integer());

  sb().expireSessions();
  EXPECT_EQ(id("/auth/check", t::base64(csrf)).status, 401);
  EXPECT_EQ(id("/settings", t::base64(csrf)).status, 401);
}

TEST_F(IdentityTest, CodesGoToTheRightChannelAndTheAuthenticatorCodeIsAccepted) {
  ASSERT_EQ(idPost("/auth/code", R"({"email":"sms.user@example.com"})").status, 200);
  ASSERT_EQ(idPost("/auth/code", R"({"email":"stranger@example.com"})").status, 200);
  const auto outbox = sb().outbox();
  EXPECT_EQ(outbox[0].channel, "sms");
  EXPECT_EQ(outbox[1].channel, "email");
  // A new code replaces the earlier one.
  const std::string first = outbox[0].code;
  ASSERT_EQ(idPost("/auth/code", R"({"email":"sms.user@example.com"})").status, 200);
  const std::string second = *sb().lastCode("sms.user@example.com");
  if (first != second) {
    EXPECT_EQ(
        idPost(
            "/auth/token",
            R"({"challengeType":"emailLink","email":"sms.user@example.com","password":"password1","code":")" +
                first + R"("})")
            .status,
        401);
  }
  EXPECT_EQ(
      idPost(
          "/auth/token",
          R"({"challengeType":"emailLink","email":"sms.user@example.com","password":"password1","code":")" +
              second + R"("})")
          .status,
      200);
  EXPECT_EQ(
      idPost(
          "/auth/token",
          R"({"challengeType":"otp","email":"otp.user@example.com","password":"password1","code":"246810"})")
          .status,
      200);
}

TEST_F(IdentityTest, SignUpChecksRulesAddressAndCode) {
  const auto signup = [](const std::string& email, const std::string& password,
                         const std::string& code) {
    return idPost("/auth/signup", R"({"email":")" + email + R"(","password":")" + password +
                                      R"(","code":")" + code + R"("})");
  };
  EXPECT_EQ(signup("not-an-email", "password1", "1").status, 412);
  EXPECT_EQ(signup("new@example.com", "short", "1").status, 412);
  EXPECT_EQ(signup("user1@example.com", "password1", "1").status, 409);
  EXPECT_EQ(signup("new@example.com", "password1", "000000").status, 406);
  ASSERT_EQ(idPost("/auth/code", R"({"email":"new@example.com"})").status, 200);
  const auto r = signup("new@example.com", "password1", *sb().lastCode("new@example.com"));
  ASSERT_EQ(r.status, 200);
  EXPECT_EQ(r.json()["csrf_token"].get<std::string>().size(), 43u);
  EXPECT_EQ(id("/auth/check", t::base64(r.json()["csrf_token"].get<std::string>())).status, 200);
  const auto user = sb().user("new@example.com");
  ASSERT_TRUE(user.has_value());
  EXPECT_EQ(user->challenge, sandbox::ChallengeType::Password);
  EXPECT_EQ(idPost("/auth/signup", "{}").status, 400);
}

TEST_F(IdentityTest, PasswordResetAndAuthenticatorRecovery) {
  EXPECT_EQ(idPost("/regular-password/reset", R"({"email":"nobody@example.com"})").status, 200);
  EXPECT_TRUE(sb().outbox().empty());
  ASSERT_EQ(idPost("/regular-password/reset", R"({"email":"user1@example.com"})").status, 200);
  const std::string code = *sb().lastCode("user1@example.com");
  EXPECT_EQ(sb().outbox().at(0).sentBy, "password.reset");
  EXPECT_EQ(idPost("/regular-password/reset/confirm",
                   R"({"newPassword":"newpassword","passwordResetToken":"x"})")
                .status,
            401);
  EXPECT_EQ(idPost("/regular-password/reset/confirm",
                   R"({"newPassword":"bad pw","passwordResetToken":")" + code + R"("})")
                .status,
            412);
  EXPECT_EQ(idPost("/regular-password/reset/confirm",
                   R"({"newPassword":"newpassword","passwordResetToken":")" + code + R"("})")
                .status,
            200);
  EXPECT_EQ(sb().user("user1@example.com")->password, "newpassword");

  // Recovery needs a phone; the code comes by SMS and turns the authenticator off.
  EXPECT_EQ(id("/auth/recover?email=sms.user%40example.com").status, 400);
  const auto r = id("/auth/recover?email=otp.user%40example.com");
  ASSERT_EQ(r.status, 200);
  EXPECT_EQ(sb().outbox().back().channel, "sms");
  EXPECT_EQ(idPost("/auth/recover", R"({"code":"999999x"})").status, 401);
  EXPECT_EQ(
      idPost("/auth/recover", R"({"code":")" + *sb().lastCode("otp.user@example.com") + R"("})")
          .status,
      200);
  EXPECT_FALSE(sb().user("otp.user@example.com")->otpEnabled);
}

TEST_F(IdentityTest, SignInRoadHelperWorksOnDevelopmentHostsToo) {
  const std::string bearer = signInByRoad("user1@example.com");
  EXPECT_EQ(get("id.dev.zentrel.com", "/api/v1.1/auth/check", bearer).status, 200);
  EXPECT_EQ(sb().requests("auth.check").back().host, "id.dev.zentrel.com");
}

}  // namespace
}  // namespace sbtest
