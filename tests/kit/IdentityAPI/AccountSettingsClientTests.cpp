// The account settings read against the sandbox: which token goes out and what each answer
// yields.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "IdentitySupport.hpp"
#include "ZTAPI/ZTPrivateAPIUserAccount.hpp"
#include "ZTTokenUtilites.hpp"

namespace {

using namespace ZentrelSDK;
using idtest::kGenericText;
using idtest::kMissingText;
using idtest::Reply;
using sandbox::Fault;

constexpr const char* kUser = "user1@example.com";

class AccountSettingsClient : public idtest::IdentitySandboxTest {
 protected:
  Reply<ZTAccountSettingsResponse, std::string> read(const std::optional<std::string>& token,
                                                     bool clearCookie = false) {
    Reply<ZTAccountSettingsResponse, std::string> reply;
    ZTPrivateAPIUserAccount::getUserSettings(token, clearCookie, reply.success(), reply.error());
    EXPECT_TRUE(reply.wait());
    EXPECT_TRUE(reply.answeredOnce());
    return reply;
  }
  static std::string errorOf(const Reply<ZTAccountSettingsResponse, std::string>& reply) {
    return reply.failed() ? reply.failure() : std::string("<success>");
  }
};

TEST_F(AccountSettingsClient, ReadsTheSignedInUsersSettingsWithTheHeldSession) {
  const auto seed = sb().user(kUser);
  ASSERT_TRUE(seed.has_value());
  const std::string bearer = sb().signIn(kUser);
  ZTTokenUtilites::shared()->saveToken(bearer, false);

  const auto reply = read(std::nullopt);
  ASSERT_TRUE(reply.succeeded()) << errorOf(reply);
  EXPECT_EQ(lastAuthorization("settings"), "Bearer " + bearer);
  const auto& settings = reply.value();
  EXPECT_EQ(settings.email, kUser);
  EXPECT_EQ(settings.id, seed->id.value_or(settings.id));
  EXPECT_FALSE(settings.id.empty());
  EXPECT_EQ(settings.emailConfirmed, seed->emailConfirmed);
  EXPECT_EQ(settings.smsCodeEnabled, seed->smsCodeEnabled);
  EXPECT_EQ(settings.otpEnabled, seed->otpEnabled);
  EXPECT_EQ(settings.disabled, seed->disabled);
  EXPECT_EQ(settings.country, seed->country);
  EXPECT_EQ(settings.fiatCurrency, seed->fiatCurrency);
  EXPECT_EQ(settings.lastActiveAccount, seed->activeAccount);
  EXPECT_GT(settings.createdAt, 0);

  // The flags that choose the code channel come through for the other seeded users.
  ZTTokenUtilites::shared()->saveToken(sb().signIn("sms.user@example.com"), false);
  const auto sms = read(std::nullopt);
  ASSERT_TRUE(sms.succeeded()) << errorOf(sms);
  EXPECT_TRUE(sms.value().smsCodeEnabled);
  const auto otp = read(sb().signIn("otp.user@example.com"));
  ASSERT_TRUE(otp.succeeded()) << errorOf(otp);
  EXPECT_TRUE(otp.value().otpEnabled);
  EXPECT_FALSE(otp.value().smsCodeEnabled);
}

TEST_F(AccountSettingsClient, AGivenTokenIsSentAsItIs) {
  // No session held: a token given by the caller (the keychain copy) is used.
  const std::string bearer = sb().signIn(kUser);
  const auto given = read(bearer);
  ASSERT_TRUE(given.succeeded()) << errorOf(given);
  EXPECT_EQ(lastAuthorization("settings"), "Bearer " + bearer);

  // A given empty text is not replaced by the held session.
  ZTTokenUtilites::shared()->saveToken(bearer, false);
  const auto empty = read(std::string());
  EXPECT_EQ(errorOf(empty), "User is not logged in");
  EXPECT_EQ(lastAuthorization("settings"), "Bearer");
  // And a 401 here drops nothing.
  EXPECT_EQ(ZTTokenUtilites::shared()->getToken(), bearer);
}

TEST_F(AccountSettingsClient, StatusesMapToTheirTexts) {
  EXPECT_EQ(errorOf(read(std::nullopt)), "User is not logged in");
  EXPECT_EQ(lastAuthorization("settings"), "Bearer");

  ZTTokenUtilites::shared()->saveToken(sb().signIn(kUser), false);
  sb().expireSessions();
  EXPECT_EQ(errorOf(read(std::nullopt)), "User is not logged in");
  EXPECT_EQ(errorOf(read(std::string("not-a-session"))), "User is not logged in");

  ZTTokenUtilites::shared()->saveToken(sb().signIn(kUser), false);
  for (int status : {201, 204, 403, 404, 500}) {
    sb().inject("settings", Fault::answer(status, status == 204 ? "" : "status text"));
    EXPECT_EQ(errorOf(read(std::nullopt)), kGenericText) << status;
  }
  sb().inject("settings", Fault::drop().repeat(0));
  const auto dropped = read(std::nullopt);
  ASSERT_TRUE(dropped.failed());
  EXPECT_NE(dropped.failure(), kGenericText);
  EXPECT_FALSE(dropped.failure().empty());
}

TEST_F(AccountSettingsClient, AnswersAreDecodedStrictly) {
  ZTTokenUtilites::shared()->saveToken(sb().signIn(kUser), false);
  nlohmann::json answer = {{"created_at", 1700000000},
                           {"updated_at", 1700000000},
                           {"last_active_at", 1700003600},
                           {"id", "id-1"},
                           {"email", kUser},
                           {"email_confirmed", true},
                           {"sms_code_enabled", false},
                           {"country", nullptr},
                           {"otp_enabled", false},
                           {"disabled", false},
                           {"fiat_currency", "EUR"},
                           {"last_active_account", "acc-1"},
                           {"something_new", {1, 2, 3}}};
  sb().inject("settings", Fault::json(200, answer.dump()));
  const auto nullCountry = read(std::nullopt);
  ASSERT_TRUE(nullCountry.succeeded()) << errorOf(nullCountry);
  EXPECT_FALSE(nullCountry.value().country.has_value());
  EXPECT_EQ(nullCountry.value().lastActiveAt, 1700003600);

  auto noCurrency = answer;
  noCurrency.erase("fiat_currency");
  sb().inject("settings", Fault::json(200, noCurrency.dump()));
  EXPECT_EQ(errorOf(read(std::nullopt)), kMissingText);

  auto wrongFlag = answer;
  wrongFlag["otp_enabled"] = 0;
  sb().inject("settings", Fault::json(200, wrongFlag.dump()));
  EXPECT_EQ(errorOf(read(std::nullopt)), idtest::kFormatText);

  sb().inject("settings", Fault::emptyBody());
  EXPECT_EQ(errorOf(read(std::nullopt)), idtest::kFormatText);
}

}  // namespace
