// Sign-in bodies and answers as they cross the wire: keys, required and optional fields,
// snake_case conversion and strict types.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "ZTAPI/ResponceDataModel/Account/ZTAccountSettingsResponse.hpp"
#include "ZTAPI/ResponceDataModel/Auth/ZTAuthTokenResponse.hpp"
#include "ZTAPI/ResponceDataModel/Auth/ZTCheckEmailResponse.hpp"
#include "ZTAPI/ResponceDataModel/Auth/ZTPasswordCheckResponse.hpp"
#include "ZTAPI/ResponceDataModel/Auth/ZTPasswordResetResponse.hpp"
#include "ZTAPI/ResponceDataModel/Auth/ZTSendCodeResponse.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"
#include "ZTNetworkCore/ZTAuthRequestBodies.hpp"

namespace {

using namespace ZentrelSDK;
using Foundation::DecodingError;

// What an answer's bytes decode to on the kit's answer path.
template <class T>
Foundation::Result<T, DecodingError> decodeAnswer(std::string_view text) {
  return parse<T>(
      Foundation::Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// --- Bodies -------------------------------------------------------------------------------

TEST(AuthRequestBodies, EncodeEveryFieldUnderItsDeclaredName) {
  EXPECT_EQ(nlohmann::json(EmailOnlyBody("a+b@example.com")),
            nlohmann::json::parse(R"({"email":"a+b@example.com"})"));
  EXPECT_EQ(
      nlohmann::json(AuthTokenBody("emailLink", "u@example.com", "pw", "123456")),
      nlohmann::json::parse(
          R"({"challengeType":"emailLink","email":"u@example.com","password":"pw","code":"123456"})"));
  EXPECT_EQ(
      nlohmann::json(SignUpBody("u@example.com", "password1", "654321")),
      nlohmann::json::parse(R"({"email":"u@example.com","password":"password1","code":"654321"})"));
  // The reset confirmation renames its arguments on the wire.
  EXPECT_EQ(nlohmann::json(ResetPasswordConfirmBody("newSecret1", "111222")),
            nlohmann::json::parse(R"({"newPassword":"newSecret1","passwordResetToken":"111222"})"));
  EXPECT_EQ(nlohmann::json(CodeOnlyBody("999000")), nlohmann::json::parse(R"({"code":"999000"})"));
}

TEST(AuthRequestBodies, EmptyTextsAreWrittenNotLeftOut) {
  EXPECT_EQ(nlohmann::json(EmailOnlyBody("")), nlohmann::json::parse(R"({"email":""})"));
  const nlohmann::json token = AuthTokenBody("", "", "", "");
  ASSERT_EQ(token.size(), 4u);
  for (const auto* key : {"challengeType", "email", "password", "code"}) {
    ASSERT_TRUE(token.contains(key)) << key;
    EXPECT_EQ(token[key], "") << key;
  }
}

TEST(AuthRequestBodies, DecodeBackFromTheirOwnKeysOnly) {
  auto body = ResetPasswordConfirmBody::decode(
      nlohmann::json(ResetPasswordConfirmBody("secret123", "424242")));
  ASSERT_TRUE(body.isSuccess());
  EXPECT_EQ(body.value().newPassword, "secret123");
  EXPECT_EQ(body.value().passwordResetToken, "424242");

  // Bodies keep their camelCase keys: a snake_case object is not the same body.
  auto snake = ResetPasswordConfirmBody::decode(
      nlohmann::json::parse(R"({"new_password":"x","password_reset_token":"y"})"));
  ASSERT_TRUE(snake.isFailure());
  EXPECT_EQ(snake.error().kind, DecodingError::Kind::KeyNotFound);

  auto wrongType = AuthTokenBody::decode(
      nlohmann::json::parse(R"({"challengeType":"otp","email":"e","password":"p","code":123456})"));
  ASSERT_TRUE(wrongType.isFailure());
  EXPECT_EQ(wrongType.error().kind, DecodingError::Kind::TypeMismatch);
  EXPECT_EQ(wrongType.error().codingPath, std::vector<std::string>{"code"});

  // nlohmann's get<T>() goes through the same strict decoding.
  EXPECT_EQ(nlohmann::json::parse(R"({"code":"1"})").get<CodeOnlyBody>().code, "1");
  EXPECT_ANY_THROW((void)nlohmann::json::parse(R"({"code":1})").get<CodeOnlyBody>());
}

// --- E-mail check -------------------------------------------------------------------------

TEST(CheckEmailResponse, OptionalPartsMayBeMissingOrNull) {
  for (const char* text : {R"({"success":true})", R"({"success":true,"challenge":null})",
                           R"({"success":true,"message":null,"challenge":null})"}) {
    auto answer = decodeAnswer<ZTCheckEmailResponse>(text);
    ASSERT_TRUE(answer.isSuccess()) << text;
    EXPECT_TRUE(answer.value().success);
    EXPECT_FALSE(answer.value().message.has_value()) << text;
    EXPECT_FALSE(answer.value().challenge.has_value()) << text;
  }

  auto refused = decodeAnswer<ZTCheckEmailResponse>(
      R"({"success":false,"message":"Account is disabled","extra":[1,2]})");
  ASSERT_TRUE(refused.isSuccess());
  EXPECT_FALSE(refused.value().success);
  EXPECT_EQ(refused.value().message, "Account is disabled");
}

TEST(CheckEmailResponse, ChallengeTypeTakesExactlyItsFourTexts) {
  const std::pair<const char*, ZTConstants::ChallengeType> cases[] = {
      {"emailLink", ZTConstants::ChallengeType::emailLink},
      {"otp", ZTConstants::ChallengeType::otp},
      {"password", ZTConstants::ChallengeType::password},
      {"sms", ZTConstants::ChallengeType::sms}};
  for (const auto& [text, expected] : cases) {
    const std::string snake =
        std::string(R"({"success":true,"challenge":{"challenge_type":")") + text + R"("}})";
    const std::string camel =
        std::string(R"({"success":true,"challenge":{"challengeType":")") + text + R"("}})";
    for (const auto& body : {snake, camel}) {
      auto answer = decodeAnswer<ZTCheckEmailResponse>(body);
      ASSERT_TRUE(answer.isSuccess()) << body;
      ASSERT_TRUE(answer.value().challenge.has_value());
      EXPECT_EQ(answer.value().challenge->challengeType, expected) << body;
    }
  }

  for (const char* bad : {R"("OTP")", R"("email")", R"("")", R"(1)", R"(null)", R"(["otp"])"}) {
    const std::string body =
        std::string(R"({"success":true,"challenge":{"challenge_type":)") + bad + "}}";
    auto answer = decodeAnswer<ZTCheckEmailResponse>(body);
    ASSERT_TRUE(answer.isFailure()) << body;
    EXPECT_EQ(answer.error().codingPath.front(), "challenge") << body;
  }
  auto unknownText = decodeAnswer<ZTCheckEmailResponse>(
      R"({"success":true,"challenge":{"challenge_type":"OTP"}})");
  ASSERT_TRUE(unknownText.isFailure());
  EXPECT_EQ(unknownText.error().kind, DecodingError::Kind::DataCorrupted);
  EXPECT_EQ(unknownText.error().localizedDescription(),
            "The data couldn\u2019t be read because it isn\u2019t in the correct format.");

  auto noType = decodeAnswer<ZTCheckEmailResponse>(R"({"success":true,"challenge":{}})");
  ASSERT_TRUE(noType.isFailure());
  EXPECT_EQ(noType.error().kind, DecodingError::Kind::KeyNotFound);
  EXPECT_EQ(noType.error().key, "challengeType");

  auto notAnObject = decodeAnswer<ZTCheckEmailResponse>(R"({"success":true,"challenge":"otp"})");
  EXPECT_TRUE(notAnObject.isFailure());
}

TEST(CheckEmailResponse, SuccessIsRequiredAndStrictlyBoolean) {
  auto missing = decodeAnswer<ZTCheckEmailResponse>(R"({"message":"hello"})");
  ASSERT_TRUE(missing.isFailure());
  EXPECT_EQ(missing.error().kind, DecodingError::Kind::KeyNotFound);
  EXPECT_EQ(missing.error().localizedDescription(),
            "The data couldn\u2019t be read because it is missing.");

  for (const char* bad : {R"({"success":"true"})", R"({"success":1})", R"({"success":0})",
                          R"({"success":null})", R"({"success":true,"message":5})"}) {
    EXPECT_TRUE(decodeAnswer<ZTCheckEmailResponse>(bad).isFailure()) << bad;
  }
  for (const char* notObject : {"[]", R"("success")", "true", "", "{\"success\":"}) {
    EXPECT_TRUE(decodeAnswer<ZTCheckEmailResponse>(notObject).isFailure()) << notObject;
  }
}

// --- Log-in and sign-up answer ------------------------------------------------------------

TEST(AuthTokenResponse, ReadsSnakeAndCamelKeysAlike) {
  for (const char* text :
       {R"({"success":true,"csrf_token":"tok-1","expires_in":3600,"message":"signed in"})",
        R"({"success":true,"csrfToken":"tok-1","expiresIn":3600,"message":"signed in"})"}) {
    auto answer = decodeAnswer<ZTAuthTokenResponse>(text);
    ASSERT_TRUE(answer.isSuccess()) << text;
    EXPECT_TRUE(answer.value().success);
    EXPECT_EQ(answer.value().csrfToken, "tok-1");
    EXPECT_EQ(answer.value().expiresIn, 3600);
    EXPECT_EQ(answer.value().message, "signed in");
  }

  auto bare = decodeAnswer<ZTAuthTokenResponse>(R"({"success":false,"unknown":{"a":1}})");
  ASSERT_TRUE(bare.isSuccess());
  EXPECT_FALSE(bare.value().success);
  EXPECT_FALSE(bare.value().csrfToken.has_value());
  EXPECT_FALSE(bare.value().expiresIn.has_value());
}

TEST(AuthTokenResponse, IntegersAreWholeSigned64BitNumbers) {
  auto big =
      decodeAnswer<ZTAuthTokenResponse>(R"({"success":true,"expires_in":-9223372036854775808})");
  ASSERT_TRUE(big.isSuccess());
  EXPECT_EQ(big.value().expiresIn, std::numeric_limits<std::int64_t>::min());
  auto wholeFloat = decodeAnswer<ZTAuthTokenResponse>(R"({"success":true,"expires_in":60.0})");
  ASSERT_TRUE(wholeFloat.isSuccess());
  EXPECT_EQ(wholeFloat.value().expiresIn, 60);

  for (const char* bad :
       {R"({"success":true,"expires_in":3600.5})", R"({"success":true,"expires_in":"3600"})",
        R"({"success":true,"expires_in":9223372036854775808})",
        R"({"success":true,"csrf_token":42})"}) {
    auto answer = decodeAnswer<ZTAuthTokenResponse>(bad);
    ASSERT_TRUE(answer.isFailure()) << bad;
    EXPECT_EQ(answer.error().localizedDescription(),
              "The data couldn\u2019t be read because it isn\u2019t in the correct format.");
  }
  EXPECT_TRUE(decodeAnswer<ZTAuthTokenResponse>(R"({"csrf_token":"t"})").isFailure());
}

TEST(TimeoutResponses, EmptyObjectHasNoTimeoutButOtherShapesFail) {
  auto code = decodeAnswer<ZTSendCodeResponse>("{}");
  ASSERT_TRUE(code.isSuccess());
  EXPECT_FALSE(code.value().timeout.has_value());
  auto reset = decodeAnswer<ZTPasswordResetResponse>(R"({"timeout":60,"other":"x"})");
  ASSERT_TRUE(reset.isSuccess());
  EXPECT_EQ(reset.value().timeout, 60);

  for (const char* bad : {R"({"timeout":"60"})", R"({"timeout":1.5})", "[]", "", "null"}) {
    EXPECT_TRUE(decodeAnswer<ZTSendCodeResponse>(bad).isFailure()) << bad;
    EXPECT_TRUE(decodeAnswer<ZTPasswordResetResponse>(bad).isFailure()) << bad;
  }
}

TEST(PasswordCheckResponse, BothFieldsOptionalWithSnakeCaseFlag) {
  auto full = decodeAnswer<ZTPasswordCheckResponse>(R"({"email":"u@x.io","has_password":true})");
  ASSERT_TRUE(full.isSuccess());
  EXPECT_EQ(full.value().email, "u@x.io");
  EXPECT_EQ(full.value().hasPassword, true);
  auto empty = decodeAnswer<ZTPasswordCheckResponse>("{}");
  ASSERT_TRUE(empty.isSuccess());
  EXPECT_FALSE(empty.value().hasPassword.has_value());
  EXPECT_TRUE(decodeAnswer<ZTPasswordCheckResponse>(R"({"has_password":"yes"})").isFailure());

  ZTPasswordCheckResponse onlyEmail{.email = "u@x.io"};
  EXPECT_EQ(nlohmann::json(onlyEmail), nlohmann::json::parse(R"({"email":"u@x.io"})"));
}

// --- Account settings ---------------------------------------------------------------------

constexpr const char* kSettings = R"({"created_at": 1700000000, "updated_at": 1700000001,
  "last_active_at": 1700003600, "id": "6f1c2a9e-0b7d-4c1e-9a53-2f8d0c6b1e47",
  "email": "user1@example.com", "email_confirmed": true, "sms_code_enabled": false,
  "country": "DE", "otp_enabled": true, "disabled": false, "fiat_currency": "EUR",
  "last_active_account": "acc-1"})";

TEST(AccountSettingsResponse, DecodesEveryFieldFromTheServersKeys) {
  auto settings = decodeAnswer<ZTAccountSettingsResponse>(kSettings);
  ASSERT_TRUE(settings.isSuccess());
  const auto& s = settings.value();
  EXPECT_EQ(s.createdAt, 1700000000);
  EXPECT_EQ(s.updatedAt, 1700000001);
  EXPECT_EQ(s.lastActiveAt, 1700003600);
  EXPECT_EQ(s.id, "6f1c2a9e-0b7d-4c1e-9a53-2f8d0c6b1e47");
  EXPECT_EQ(s.email, "user1@example.com");
  EXPECT_TRUE(s.emailConfirmed);
  EXPECT_FALSE(s.smsCodeEnabled);
  EXPECT_EQ(s.country, "DE");
  EXPECT_TRUE(s.otpEnabled);
  EXPECT_FALSE(s.disabled);
  EXPECT_EQ(s.fiatCurrency, "EUR");
  EXPECT_EQ(s.lastActiveAccount, "acc-1");

  // The record's own encoding uses the camelCase names; reading that back gives the same.
  auto camel = decodeAnswer<ZTAccountSettingsResponse>(nlohmann::json(s).dump());
  ASSERT_TRUE(camel.isSuccess());
  EXPECT_EQ(nlohmann::json(camel.value()), nlohmann::json(s));
  EXPECT_TRUE(nlohmann::json(s).contains("emailConfirmed"));
}

TEST(AccountSettingsResponse, OnlyCountryMayBeMissing) {
  auto json = nlohmann::json::parse(kSettings);
  auto withoutCountry = json;
  withoutCountry.erase("country");
  auto nullCountry = json;
  nullCountry["country"] = nullptr;
  for (const auto& copy : {withoutCountry, nullCountry}) {
    auto settings = decodeAnswer<ZTAccountSettingsResponse>(copy.dump());
    ASSERT_TRUE(settings.isSuccess()) << copy.dump();
    EXPECT_FALSE(settings.value().country.has_value());
    EXPECT_FALSE(nlohmann::json(settings.value()).contains("country"));
  }

  for (const auto& [key, _] : json.items()) {
    if (key == "country") continue;
    auto missing = json;
    missing.erase(key);
    auto settings = decodeAnswer<ZTAccountSettingsResponse>(missing.dump());
    ASSERT_TRUE(settings.isFailure()) << key;
    EXPECT_EQ(settings.error().kind, DecodingError::Kind::KeyNotFound) << key;
    auto null = json;
    null[key] = nullptr;
    ASSERT_TRUE(decodeAnswer<ZTAccountSettingsResponse>(null.dump()).isFailure()) << key;
  }
}

TEST(AccountSettingsResponse, WrongTypesFailTheWholeRecord) {
  const std::pair<const char*, nlohmann::json> cases[] = {{"email_confirmed", 1},
                                                          {"sms_code_enabled", "false"},
                                                          {"created_at", "1700000000"},
                                                          {"updated_at", 1.25},
                                                          {"country", 49},
                                                          {"id", 7},
                                                          {"last_active_account", false}};
  for (const auto& [key, value] : cases) {
    auto json = nlohmann::json::parse(kSettings);
    json[key] = value;
    auto settings = decodeAnswer<ZTAccountSettingsResponse>(json.dump());
    EXPECT_TRUE(settings.isFailure()) << key << " = " << value.dump();
  }
}

}  // namespace
