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
  EXPECT_EQ(reply.value().email, kUser);
  EXPECT_EQ(reply.value().id, seed->id.value_or(reply.value().id));
  EXPECT_EQ(reply.value().lastActiveAccount, seed->activeAccount);

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

}  // namespace
