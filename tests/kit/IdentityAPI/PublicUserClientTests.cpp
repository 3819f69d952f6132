// The host-facing user-data reads against the sandbox's API server.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "IdentitySupport.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserAccountsActiveResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserAddressesResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserDataResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserPersonalDataResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserScopesResponse.hpp"
#include "ZTAPI/ZTPrivateAPIAuthUser.hpp"
#include "ZTAPI/ZTPublicAPIUser.hpp"
#include "ZTTokenUtilites.hpp"
#include "ZTUtilites/ZTConstants.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

namespace {

using namespace ZentrelSDK;
using idtest::kFormatText;
using idtest::kMissingText;
using idtest::Reply;
using sandbox::Fault;

constexpr const char* kUser = "user1@example.com";
constexpr const char* kApp = "sandbox-app";

class PublicUserClient : public idtest::IdentitySandboxTest {
 protected:
  template <class T>
  Reply<T, ZTOAuthError> read(const std::string& endpoint, bool clearCookie = true) {
    Reply<T, ZTOAuthError> reply;
    ZTPublicAPIUser::request<T>(clearCookie, ZTConstants::getZentrelAPIFullPath(endpoint),
                                reply.success(), reply.error());
    EXPECT_TRUE(reply.wait());
    EXPECT_TRUE(reply.answeredOnce());
    return reply;
  }
  static std::string accessFor(const std::string& email) {
    const std::string token = sb().grant(email, kApp);
    ZTTokenUtilites::shared()->saveOAuthToken(token);
    return token;
  }
  template <class T>
  static ZTOAuthError errorOf(const Reply<T, ZTOAuthError>& reply) {
    return reply.failed() ? reply.failure() : ZTOAuthError(-1, "<success>");
  }
};

TEST_F(PublicUserClient, DecodesEachEndpointIntoItsRecord) {
  const std::string access = accessFor(kUser);
  const auto seed = sb().user(kUser);
  ASSERT_TRUE(seed.has_value());

  const auto user = read<ZTUserDataResponse>(ZTPublicConstants::getUserEndpoint());
  ASSERT_TRUE(user.succeeded()) << errorOf(user).message.value_or("");
  EXPECT_EQ(lastAuthorization("api.user"), "Bearer " + access);
  EXPECT_FALSE(user.value().id.empty());
  EXPECT_EQ(user.value().email, kUser);

  const auto addresses = read<std::vector<ZTUserAddressesResponseElement>>(
      ZTPublicConstants::getUserAddressEndpoint());
  ASSERT_TRUE(addresses.succeeded()) << errorOf(addresses).message.value_or("");
  ASSERT_EQ(addresses.value().size(), seed->addresses.size());
  EXPECT_EQ(addresses.value().front().postalCode, seed->addresses.front().postalCode);

  const auto personal =
      read<ZTUserPersonalDataResponse>(ZTPublicConstants::getUserPersonalInfoEndpoint());
  ASSERT_TRUE(personal.succeeded()) << errorOf(personal).message.value_or("");
  ASSERT_TRUE(seed->personal.has_value());
  EXPECT_EQ(personal.value().id, user.value().id);
  EXPECT_EQ(personal.value().dateOfBirth, seed->personal->dateOfBirth);

  const auto scopes = read<ZTUserScopesResponse>(ZTPublicConstants::getUserScopesEndpoint());
  ASSERT_TRUE(scopes.succeeded()) << errorOf(scopes).message.value_or("");
  EXPECT_FALSE(scopes.value().scopes.empty());

  const auto active =
      read<ZTUserAccountsActiveResponse>(ZTPublicConstants::getUserAccountsActiveEndpoint());
  ASSERT_TRUE(active.succeeded()) << errorOf(active).message.value_or("");
  EXPECT_EQ(active.value().address, seed->activeAccount);

  // The accounts answer has no record of the kit's; any decodable type will do.
  const auto accounts = read<nlohmann::json>(ZTPublicConstants::getUserAccountsEndpoint());
  ASSERT_TRUE(accounts.succeeded()) << errorOf(accounts).message.value_or("");
  EXPECT_TRUE(accounts.value().is_array());

  // Nothing of this touched the tokens.
  EXPECT_EQ(ZTTokenUtilites::shared()->getOAuthToken(), access);
}

TEST_F(PublicUserClient, RefusedAccessForgetsBothTokensAndTheCookies) {
  // A real log-in leaves the server's cookie in the store.
  const std::string code = [] {
    Reply<ZTSendCodeResponse, Error> sent;
    ZTPrivateAPIAuthUser::sendCodeToEmail(true, kUser, sent.success(), sent.error());
    EXPECT_TRUE(sent.wait());
    return sb().lastCode(kUser).value_or("");
  }();
  Reply<ZTAuthTokenResponse, std::string> loggedIn;
  ZTPrivateAPIAuthUser::authToken(kUser, "password1", code, ZTConstants::ChallengeType::password,
                                  loggedIn.success(), loggedIn.error());
  ASSERT_TRUE(loggedIn.wait());
  ASSERT_TRUE(loggedIn.succeeded());
  ZTTokenUtilites::shared()->saveToken(loggedIn.value().csrfToken);
  ASSERT_GT(storedCookies(), 0u);
  accessFor(kUser);
  sb().expireAccessTokens();

  const auto refused = read<ZTUserDataResponse>(ZTPublicConstants::getUserEndpoint());
  ASSERT_TRUE(refused.failed());
  EXPECT_EQ(refused.failure(), ZTOAuthError(401, "unauthorized"));
  EXPECT_EQ(ZTTokenUtilites::shared()->getToken(), "");
  EXPECT_FALSE(ZTTokenUtilites::shared()->getOAuthToken().has_value());
  EXPECT_EQ(storedCookies(), 0u);

  // Without any token the request still goes out, with the bare prefix, and ends the same way.
  const auto anonymous = read<ZTUserScopesResponse>(ZTPublicConstants::getUserScopesEndpoint());
  EXPECT_EQ(errorOf(anonymous), ZTOAuthError(401, "unauthorized"));
  EXPECT_EQ(lastAuthorization("api.scopes"), "Bearer");

  // The server's 401 text is not what the host sees.
  accessFor(kUser);
  sb().inject("api.user.address", Fault::answer(401, "token expired at noon"));
  const auto withText = read<std::vector<ZTUserAddressesResponseElement>>(
      ZTPublicConstants::getUserAddressEndpoint());
  EXPECT_EQ(errorOf(withText), ZTOAuthError(401, "unauthorized"));
  EXPECT_FALSE(ZTTokenUtilites::shared()->getOAuthToken().has_value());
}

TEST_F(PublicUserClient, NoContentMeansEmptyPersonalDataOnlyForThatRecord) {
  // The seeded SMS user has no personal data: the server answers 204.
  const std::string access = accessFor("sms.user@example.com");
  const auto personal =
      read<ZTUserPersonalDataResponse>(ZTPublicConstants::getUserPersonalInfoEndpoint());
  EXPECT_EQ(errorOf(personal), ZTOAuthError(0, "Personal data is empty"));
  EXPECT_EQ(ZTTokenUtilites::shared()->getOAuthToken(), access);

  // Asked as another type, the same answer is a plain failure with its status and body text.
  const auto asList = read<std::vector<ZTUserPersonalDataResponse>>(
      ZTPublicConstants::getUserPersonalInfoEndpoint());
  EXPECT_EQ(errorOf(asList), ZTOAuthError(204, ""));
  const auto asOptional = read<std::optional<ZTUserPersonalDataResponse>>(
      ZTPublicConstants::getUserPersonalInfoEndpoint());
  EXPECT_EQ(errorOf(asOptional), ZTOAuthError(204, ""));
  sb().inject("api.user", Fault::answer(204));
  const auto user = read<ZTUserDataResponse>(ZTPublicConstants::getUserEndpoint());
  EXPECT_EQ(errorOf(user), ZTOAuthError(204, ""));
}

TEST_F(PublicUserClient, OtherStatusesCarryTheirCodeAndBodyText) {
  const std::string access = accessFor(kUser);
  sb().inject("api.user", Fault::answer(500, "server exploded"));
  EXPECT_EQ(errorOf(read<ZTUserDataResponse>(ZTPublicConstants::getUserEndpoint())),
            ZTOAuthError(500, "server exploded"));
  sb().inject("api.scopes", Fault::answer(403, std::string("\xff\xfe\x80", 3)));
  EXPECT_EQ(errorOf(read<ZTUserScopesResponse>(ZTPublicConstants::getUserScopesEndpoint())),
            ZTOAuthError(403, "some wrong data"));
  sb().inject("api.accounts.active", Fault::answer(201, "{\"address\":\"acc-1\"}"));
  EXPECT_EQ(errorOf(read<ZTUserAccountsActiveResponse>(
                ZTPublicConstants::getUserAccountsActiveEndpoint())),
            ZTOAuthError(201, "{\"address\":\"acc-1\"}"));
  EXPECT_EQ(ZTTokenUtilites::shared()->getOAuthToken(), access);

  // No answer at all: code 0 with the platform's text, tokens kept.
  sb().inject("api.user", Fault::drop().repeat(0));
  const auto dropped = read<ZTUserDataResponse>(ZTPublicConstants::getUserEndpoint());
  ASSERT_TRUE(dropped.failed());
  EXPECT_EQ(dropped.failure().code, 0);
  EXPECT_FALSE(dropped.failure().message.value_or("").empty());
  EXPECT_EQ(ZTTokenUtilites::shared()->getOAuthToken(), access);
}

TEST_F(PublicUserClient, AnAnswerThatDoesNotDecodeGivesTheDecodersText) {
  accessFor(kUser);
  sb().inject("api.user", Fault::json(200, R"({"email":"user1@example.com"})"));
  EXPECT_EQ(errorOf(read<ZTUserDataResponse>(ZTPublicConstants::getUserEndpoint())),
            ZTOAuthError(0, kMissingText));

  sb().inject("api.user", Fault::emptyBody());
  EXPECT_EQ(errorOf(read<ZTUserDataResponse>(ZTPublicConstants::getUserEndpoint())),
            ZTOAuthError(0, kFormatText));
}

}  // namespace
