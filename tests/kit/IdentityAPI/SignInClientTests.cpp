// The sign-in client against the sandbox's identity server: every call, the statuses it
// judges and the texts it reports.

#include <gtest/gtest.h>

#include <string>

#include <Foundation/DecodingError.hpp>

#include "IdentitySupport.hpp"
#include "ZTAPI/ZTPrivateAPIAuthUser.hpp"
#include "ZTTokenUtilites.hpp"

namespace {

using namespace ZentrelSDK;
using idtest::kFormatText;
using idtest::kGenericText;
using idtest::kMissingText;
using idtest::Reply;
using idtest::ResultReply;
using AuthUserError = ZTPrivateAPIAuthUser::ZTAuthUserError;
using sandbox::Fault;

constexpr const char* kUser = "user1@example.com";
constexpr const char* kSmsUser = "sms.user@example.com";
constexpr const char* kOtpUser = "otp.user@example.com";
constexpr const char* kPassword = "password1";

class SignInClient : public idtest::IdentitySandboxTest {
 protected:
  // Asks for a code through the client and reads it from the outbox.
  std::string codeFor(const std::string& email) {
    Reply<ZTSendCodeResponse, Error> sent;
    ZTPrivateAPIAuthUser::sendCodeToEmail(true, email, sent.success(), sent.error());
    EXPECT_TRUE(sent.wait());
    EXPECT_TRUE(sent.succeeded());
    return sb().lastCode(email).value_or("");
  }

  Reply<ZTAuthTokenResponse, std::string> logIn(const std::string& email,
                                                const std::string& password,
                                                const std::string& code,
                                                ZTConstants::ChallengeType type) {
    Reply<ZTAuthTokenResponse, std::string> reply;
    ZTPrivateAPIAuthUser::authToken(email, password, code, type, reply.success(), reply.error());
    EXPECT_TRUE(reply.wait());
    EXPECT_TRUE(reply.answeredOnce());
    return reply;
  }

  static std::string logInError(const Reply<ZTAuthTokenResponse, std::string>& reply) {
    return reply.failed() ? reply.failure() : std::string("<success>");
  }
};

// --- Session check --------------------------------------------------------------------------

TEST_F(SignInClient, SessionCheckIsSignedInOnlyFor200) {
  Reply<bool, std::string> anonymous;
  ZTPrivateAPIAuthUser::checkAuth(true, anonymous.success(), anonymous.error());
  ASSERT_TRUE(anonymous.wait());
  ASSERT_TRUE(anonymous.answeredOnce());
  ASSERT_TRUE(anonymous.succeeded());
  EXPECT_FALSE(anonymous.value());
  EXPECT_EQ(lastAuthorization("auth.check"), "Bearer");  // the empty token

  const std::string bearer = sb().signIn(kUser);
  ZTTokenUtilites::shared()->saveToken(bearer, false);
  Reply<bool, std::string> signedIn;
  ZTPrivateAPIAuthUser::checkAuth(false, signedIn.success(), signedIn.error());
  ASSERT_TRUE(signedIn.wait());
  ASSERT_TRUE(signedIn.answeredOnce());
  ASSERT_TRUE(signedIn.succeeded());
  EXPECT_TRUE(signedIn.value());
  EXPECT_EQ(lastAuthorization("auth.check"), "Bearer " + bearer);

  // Whatever else the server answers, even a 2xx, is "not signed in", never an error.
  for (int status : {204, 201, 401, 403, 500, 503}) {
    // A 204 carries no body in HTTP.
    sb().inject("auth.check",
                Fault::answer(status, status == 204 ? "" : "status " + std::to_string(status)));
    Reply<bool, std::string> reply;
    ZTPrivateAPIAuthUser::checkAuth(true, reply.success(), reply.error());
    ASSERT_EQ(reply.outcome(), "<success>") << status;
    EXPECT_FALSE(reply.value()) << status;
  }
  sb().inject("auth.check", Fault::json(200, "not even json"));
  Reply<bool, std::string> anyBody;
  ZTPrivateAPIAuthUser::checkAuth(true, anyBody.success(), anyBody.error());
  ASSERT_EQ(anyBody.outcome(), "<success>");
  EXPECT_TRUE(anyBody.value());
}

// --- E-mail check and codes ------------------------------------------------------------------

TEST_F(SignInClient, EmailCheckReadsTheChallengePerAddress) {
  const std::pair<std::string, ZTConstants::ChallengeType> cases[] = {
      {kUser, ZTConstants::ChallengeType::password},
      {kSmsUser, ZTConstants::ChallengeType::sms},
      {kOtpUser, ZTConstants::ChallengeType::otp},
      {"nobody.yet@example.com", ZTConstants::ChallengeType::emailLink}};
  for (const auto& [email, challenge] : cases) {
    Reply<ZTCheckEmailResponse, std::string> reply;
    ZTPrivateAPIAuthUser::checkEmail(email, reply.success(), reply.error());
    ASSERT_TRUE(reply.wait()) << email;
    ASSERT_TRUE(reply.answeredOnce()) << email;
    ASSERT_TRUE(reply.succeeded()) << email;
    EXPECT_TRUE(reply.value().success);
    ASSERT_TRUE(reply.value().challenge.has_value()) << email;
    EXPECT_EQ(reply.value().challenge->challengeType, challenge) << email;
    EXPECT_EQ(lastBody("auth.email"), nlohmann::json({{"email", email}}));
  }

  sandbox::UserSeed disabled;
  disabled.email = "off@example.com";
  disabled.password = kPassword;
  disabled.disabled = true;
  sb().addUser(disabled);
  Reply<ZTCheckEmailResponse, std::string> refused;
  ZTPrivateAPIAuthUser::checkEmail("off@example.com", refused.success(), refused.error());
  ASSERT_TRUE(refused.wait());
  ASSERT_TRUE(refused.succeeded());
  EXPECT_FALSE(refused.value().success);
  EXPECT_EQ(refused.value().message, "Account is disabled");
}

TEST_F(SignInClient, EmailCheckFailuresArriveAsTexts) {
  const std::pair<Fault, std::string> cases[] = {
      {Fault::answer(401, "unauthorized"), "unauthorized"},
      {Fault::answer(500, "boom"), "answer has not status code = 200 (500)"},
      {Fault::answer(204), "answer has not status code = 200 (204)"},
      {Fault::notJson(), "cannot decode answer"},
      {Fault::json(200, R"({"success":true,"challenge":{"challenge_type":"Password"}})"),
       "cannot decode answer"}};
  for (const auto& [fault, text] : cases) {
    sb().inject("auth.email", fault);
    Reply<ZTCheckEmailResponse, std::string> reply;
    ZTPrivateAPIAuthUser::checkEmail(kUser, reply.success(), reply.error());
    EXPECT_EQ(reply.outcome(), text);
  }
}

TEST_F(SignInClient, SendingACodeFillsTheOutboxAndPassesErrorsOnUnchanged) {
  Reply<ZTSendCodeResponse, Error> sent;
  ZTPrivateAPIAuthUser::sendCodeToEmail(false, kSmsUser, sent.success(), sent.error());
  ASSERT_TRUE(sent.wait());
  ASSERT_TRUE(sent.answeredOnce());
  ASSERT_TRUE(sent.succeeded());
  EXPECT_EQ(sent.value().timeout, 60);
  const auto outbox = sb().outbox();
  ASSERT_EQ(outbox.size(), 1u);
  EXPECT_EQ(outbox[0].address, kSmsUser);
  EXPECT_EQ(outbox[0].channel, "sms");
  EXPECT_EQ(lastBody("auth.code"), nlohmann::json({{"email", kSmsUser}}));

  const std::pair<Fault, ZTNetworkError> cases[] = {
      {Fault::answer(401, "unauthorized"), ZTNetworkError::unauthorized()},
      {Fault::answer(429, "slow down"), ZTNetworkError::statusCodeIsNot200(429)},
      {Fault::emptyBody(), ZTNetworkError::decodingError()}};
  for (const auto& [fault, expected] : cases) {
    sb().inject("auth.code", fault);
    Reply<ZTSendCodeResponse, Error> reply;
    ZTPrivateAPIAuthUser::sendCodeToEmail(true, kUser, reply.success(), reply.error());
    ASSERT_TRUE(reply.wait());
    EXPECT_TRUE(reply.answeredOnce());
    ASSERT_TRUE(reply.failed());
    EXPECT_TRUE(reply.failure() == expected) << reply.failure().localizedDescription();
  }
}

// --- Log-in ---------------------------------------------------------------------------------

TEST_F(SignInClient, LogInSendsTheChallengeTextTheServerKnows) {
  const std::string code = codeFor(kUser);
  auto byPassword = logIn(kUser, kPassword, code, ZTConstants::ChallengeType::password);
  ASSERT_TRUE(byPassword.succeeded()) << logInError(byPassword);
  EXPECT_TRUE(byPassword.value().success);
  EXPECT_FALSE(byPassword.value().csrfToken.value_or("").empty());
  EXPECT_EQ(byPassword.value().expiresIn, 3600);
  EXPECT_EQ(lastBody("auth.token"), nlohmann::json({{"challengeType", "password"},
                                                    {"email", kUser},
                                                    {"password", kPassword},
                                                    {"code", code}}));

  // A code that came by SMS is submitted as an e-mail link code.
  const std::string smsCode = codeFor(kSmsUser);
  auto bySms = logIn(kSmsUser, kPassword, smsCode, ZTConstants::ChallengeType::sms);
  ASSERT_TRUE(bySms.succeeded()) << logInError(bySms);
  EXPECT_EQ(lastBody("auth.token")["challengeType"], "emailLink");

  auto byAuthenticator = logIn(kOtpUser, kPassword, "246810", ZTConstants::ChallengeType::otp);
  ASSERT_TRUE(byAuthenticator.succeeded()) << logInError(byAuthenticator);
  EXPECT_EQ(lastBody("auth.token")["challengeType"], "otp");

  auto byLink = logIn(kUser, kPassword, codeFor(kUser), ZTConstants::ChallengeType::emailLink);
  ASSERT_TRUE(byLink.succeeded()) << logInError(byLink);
  EXPECT_EQ(lastBody("auth.token")["challengeType"], "emailLink");
}

TEST_F(SignInClient, LogInTellsWrongCredentialsFromOtherFailures) {
  const std::string code = codeFor(kUser);
  EXPECT_EQ(logInError(logIn(kUser, "wrong-password", code, ZTConstants::ChallengeType::password)),
            "Invalid password or code, try again");
  EXPECT_EQ(logInError(logIn(kUser, kPassword, "000000", ZTConstants::ChallengeType::password)),
            "Invalid password or code, try again");

  for (int status : {400, 403, 406, 429, 500}) {
    sb().inject("auth.token", Fault::answer(status, "nope"));
    EXPECT_EQ(logInError(logIn(kUser, kPassword, code, ZTConstants::ChallengeType::password)),
              kGenericText)
        << status;
  }

  // A 200 is only a log-in when the answer says so.
  sb().inject("auth.token", Fault::json(200, R"({"success":false,"csrf_token":"abc"})"));
  EXPECT_EQ(logInError(logIn(kUser, kPassword, code, ZTConstants::ChallengeType::password)),
            kGenericText);
  sb().inject("auth.token", Fault::json(200, R"({"csrf_token":"abc"})"));
  EXPECT_EQ(logInError(logIn(kUser, kPassword, code, ZTConstants::ChallengeType::password)),
            kMissingText);
  sb().inject("auth.token", Fault::notJson());
  EXPECT_EQ(logInError(logIn(kUser, kPassword, code, ZTConstants::ChallengeType::password)),
            kFormatText);
  sb().inject("auth.token", Fault::json(200, R"({"success":"true","csrf_token":"abc"})"));
  EXPECT_EQ(logInError(logIn(kUser, kPassword, code, ZTConstants::ChallengeType::password)),
            kFormatText);

  sb().inject("auth.token", Fault::drop().repeat(0));
  const auto dropped = logIn(kUser, kPassword, code, ZTConstants::ChallengeType::password);
  ASSERT_TRUE(dropped.failed());
  EXPECT_NE(dropped.failure(), kGenericText);
  EXPECT_FALSE(dropped.failure().empty());
}

// --- Sign-up --------------------------------------------------------------------------------

TEST_F(SignInClient, SignUpMapsEachRefusalToItsError) {
  const std::string email = "someone.new@example.com";
  const std::string code = codeFor(email);
  struct Case {
    std::string email, password, code;
    AuthUserError expected;
    std::string text;
  };
  const Case cases[] = {
      {email, "secret123", "000000", AuthUserError::codeMismatch(), "Code mismatch"},
      {kUser, "secret123", code, AuthUserError::emailAlreadyExists(), "Email already exist"},
      {email, "short", code, AuthUserError::validationError(), "Validation error"},
      {"not-an-address", "secret123", code, AuthUserError::validationError(), "Validation error"}};
  for (const auto& c : cases) {
    ResultReply<ZTAuthTokenResponse> reply;
    ZTPrivateAPIAuthUser::signUp(c.email, c.password, c.code, reply.callback());
    ASSERT_EQ(reply.outcome(), c.text);
    EXPECT_TRUE(reply.error() == c.expected);
  }

  for (int status : {400, 401, 500}) {
    sb().inject("auth.signup", Fault::answer(status, "nope"));
    ResultReply<ZTAuthTokenResponse> reply;
    ZTPrivateAPIAuthUser::signUp(email, "secret123", code, reply.callback());
    ASSERT_EQ(reply.outcome(), kGenericText);
    EXPECT_TRUE(reply.error() == AuthUserError::unhandledResponseCode()) << status;
  }
  EXPECT_FALSE(sb().user(email).has_value());
}

TEST_F(SignInClient, SignUpAnsweredWithoutSuccessIsNotASignUp) {
  sb().inject("auth.signup", Fault::json(200, R"({"success":false,"csrf_token":"abc"})"));
  ResultReply<ZTAuthTokenResponse> refused;
  ZTPrivateAPIAuthUser::signUp("x@example.com", "secret123", "123456", refused.callback());
  ASSERT_EQ(refused.outcome(), kGenericText);
  EXPECT_TRUE(refused.error() == AuthUserError::unhandledResponseCode());

  sb().inject("auth.signup", Fault::json(200, R"({"csrf_token":"abc"})"));
  ResultReply<ZTAuthTokenResponse> undecodable;
  ZTPrivateAPIAuthUser::signUp("x@example.com", "secret123", "123456", undecodable.callback());
  ASSERT_EQ(undecodable.outcome(), kMissingText);
  EXPECT_TRUE(undecodable.error().is<Foundation::DecodingError>());

  sb().inject("auth.signup", Fault::drop().repeat(0));
  ResultReply<ZTAuthTokenResponse> dropped;
  ZTPrivateAPIAuthUser::signUp("x@example.com", "secret123", "123456", dropped.callback());
  ASSERT_TRUE(dropped.wait());
  ASSERT_FALSE(dropped.succeeded());
  EXPECT_FALSE(dropped.error().is<AuthUserError>());
  EXPECT_FALSE(dropped.error().is<Foundation::DecodingError>());
}

// --- Password reset -------------------------------------------------------------------------

TEST_F(SignInClient, PasswordResetSendsACodeThatSetsTheNewPassword) {
  ResultReply<ZTPasswordResetResponse> requested;
  ZTPrivateAPIAuthUser::sendPasswordReset(kUser, requested.callback());
  ASSERT_TRUE(requested.wait());
  ASSERT_TRUE(requested.answeredOnce());
  ASSERT_TRUE(requested.succeeded()) << requested.errorText();
  EXPECT_EQ(requested.value().timeout, 60);
  const auto code = sb().lastCode(kUser);
  ASSERT_TRUE(code.has_value());

  ResultReply<bool> confirmed;
  ZTPrivateAPIAuthUser::sendPasswordResetConfirm("brandNew42", *code, confirmed.callback());
  ASSERT_TRUE(confirmed.wait());
  ASSERT_TRUE(confirmed.answeredOnce());
  ASSERT_TRUE(confirmed.succeeded()) << confirmed.errorText();
  EXPECT_TRUE(confirmed.value());
  EXPECT_EQ(lastBody("password.confirm"),
            nlohmann::json({{"newPassword", "brandNew42"}, {"passwordResetToken", *code}}));
  EXPECT_EQ(sb().user(kUser)->password, "brandNew42");

  auto loggedIn = logIn(kUser, "brandNew42", codeFor(kUser), ZTConstants::ChallengeType::password);
  EXPECT_TRUE(loggedIn.succeeded()) << logInError(loggedIn);
}

TEST_F(SignInClient, PasswordResetJudgesTheStatus) {
  sb().inject("password.reset", Fault::answer(429, "Too many"));
  ResultReply<ZTPasswordResetResponse> limited;
  ZTPrivateAPIAuthUser::sendPasswordReset(kUser, limited.callback());
  ASSERT_EQ(limited.outcome(), "Too many requests. Please, try later");
  EXPECT_TRUE(limited.error() == AuthUserError::tooManyRequests());

  for (int status : {201, 400, 401, 500}) {
    sb().inject("password.reset", Fault::answer(status, "x"));
    ResultReply<ZTPasswordResetResponse> reply;
    ZTPrivateAPIAuthUser::sendPasswordReset(kUser, reply.callback());
    ASSERT_NE(reply.outcome(), "<success>") << status;
    EXPECT_TRUE(reply.error() == AuthUserError::unhandledResponseCode()) << status;
  }

  sb().inject("password.reset", Fault::json(200, R"({"timeout":"60"})"));
  ResultReply<ZTPasswordResetResponse> undecodable;
  ZTPrivateAPIAuthUser::sendPasswordReset(kUser, undecodable.callback());
  ASSERT_EQ(undecodable.outcome(), kFormatText);
  EXPECT_TRUE(undecodable.error().is<Foundation::DecodingError>());
}

// --- Authenticator reset --------------------------------------------------------------------

TEST_F(SignInClient, OtpResetTravelsAsAQueryAndConfirmsWithTheSentCode) {
  sandbox::UserSeed plus;
  plus.email = "a+b&c@example.com";
  plus.password = kPassword;
  plus.otpEnabled = true;
  plus.phones.push_back({.id = "ph-9", .country = "DE", .number = "+49151"});
  sb().addUser(plus);

  Reply<void, std::string> requested;
  ZTPrivateAPIAuthUser::sendOtpReset(plus.email, requested.success(), requested.error());
  ASSERT_TRUE(requested.wait());
  ASSERT_TRUE(requested.answeredOnce());
  ASSERT_TRUE(requested.succeeded()) << (requested.failed() ? requested.failure() : "");
  const auto log = sb().requests("recover.request");
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].method, "GET");
  EXPECT_EQ(log[0].param("email"), plus.email);
  EXPECT_TRUE(log[0].body.empty());
  const auto code = sb().lastCode(plus.email);
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(sb().outbox().back().channel, "sms");

  Reply<void, std::string> confirmed;
  ZTPrivateAPIAuthUser::sendOtpResetConfirm(*code, confirmed.success(), confirmed.error());
  ASSERT_TRUE(confirmed.wait());
  ASSERT_TRUE(confirmed.answeredOnce());
  ASSERT_TRUE(confirmed.succeeded());
  EXPECT_EQ(lastBody("recover.confirm"), nlohmann::json({{"code", *code}}));
  EXPECT_FALSE(sb().user(plus.email)->otpEnabled);
}

TEST_F(SignInClient, OtpResetFailuresHaveTheirTexts) {
  const struct {
    std::optional<std::pair<const char*, Fault>> fault;
    bool confirm;
    std::string argument, text;
  } rows[] = {
      {std::nullopt, false, kSmsUser, "You don't have the\u202Fregistered phone number"},
      {{{"recover.request", Fault::answer(500, "x")}}, false, kOtpUser, kGenericText},
      {std::nullopt, true, "000000", "unauthorized"},
      {{{"recover.confirm", Fault::answer(409, "x")}},
       true,
       "000000",
       "answer has not status code = 200 (409)"},
      {{{"recover.confirm", Fault::notJson()}}, true, "000000", "<success>"},
  };
  for (const auto& row : rows) {
    if (row.fault) sb().inject(row.fault->first, row.fault->second);
    Reply<void, std::string> reply;
    if (row.confirm)
      ZTPrivateAPIAuthUser::sendOtpResetConfirm(row.argument, reply.success(), reply.error());
    else
      ZTPrivateAPIAuthUser::sendOtpReset(row.argument, reply.success(), reply.error());
    EXPECT_EQ(reply.outcome(), row.text) << row.argument;
  }
}

// --- The whole road -------------------------------------------------------------------------

}  // namespace
