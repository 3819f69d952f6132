// Sign-in bodies and answers as they cross the wire: keys, required and optional fields,
// snake_case conversion and strict types.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "ZTAPI/ResponceDataModel/Account/ZTAccountSettingsResponse.hpp"
#include "ZTAPI/ResponceDataModel/Auth/ZTAuthTokenResponse.hpp"
#include "ZTAPI/ResponceDataModel/Auth/ZTCheckEmailResponse.hpp"
#include "ZTAPI/ResponceDataModel/Auth/ZTPasswordCheckResponse.hpp"
#include "ZTAPI/ResponceDataModel/Auth/ZTPasswordResetResponse.hpp"
#include "ZTAPI/ResponceDataModel/Auth/ZTSendCodeResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserAccountsActiveResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserAddressesResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserDataResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserPersonalDataResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserScopesResponse.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"
#include "ZTNetworkCore/ZTAuthRequestBodies.hpp"

namespace {

using namespace ZentrelSDK;
using Foundation::DecodingError;

template <class T>
Foundation::Result<T, DecodingError> decodeAnswer(std::string_view text) {
  return parse<T>(
      Foundation::Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// The record's own camelCase encoding after decoding, or nothing when the answer is refused.
template <class T>
std::optional<nlohmann::json> decoded(std::string_view text) {
  auto answer = decodeAnswer<T>(text);
  if (answer.isFailure()) return std::nullopt;
  return nlohmann::json(answer.value());
}

// Why the answer is refused, or nothing when it is read.
template <class T>
std::optional<DecodingError> refusal(std::string_view text) {
  auto answer = decodeAnswer<T>(text);
  if (answer.isSuccess()) return std::nullopt;
  return answer.error();
}

constexpr const char* kPhone =
    R"({"id":"ph-1","created_at":1700000000,"status":"verified","country":"DE",)"
    R"("number":"+49151","main":true})";
constexpr const char* kAddress =
    R"({"main":true,"created_at":1700000000,"apartment_number":"4","street_number":"12",)"
    R"("street":"S","city":"C","state_region":"R","country":"DE","postal_code":"10115",)"
    R"("lat":52,"lng":13.405,"verified":true})";
constexpr const char* kSettings = R"({"created_at": 1700000000, "updated_at": 1700000001,
  "last_active_at": 1700003600, "id": "6f1c", "email": "user1@example.com",
  "email_confirmed": true, "sms_code_enabled": false, "country": "DE", "otp_enabled": true,
  "disabled": false, "fiat_currency": "EUR", "last_active_account": "acc-1"})";

std::string with(const char* base, const char* key, const nlohmann::json& value) {
  auto json = nlohmann::json::parse(base);
  if (value.is_discarded())
    json.erase(key);
  else
    json[key] = value;
  return json.dump();
}
const nlohmann::json kErase = nlohmann::json::value_t::discarded;

TEST(AuthRequestBodies, EncodeEveryFieldUnderItsWireName) {
  const std::pair<nlohmann::json, const char*> rows[] = {
      {EmailOnlyBody("a+b@example.com"), R"({"email":"a+b@example.com"})"},
      {AuthTokenBody("emailLink", "u@x.io", "pw", "1"),
       R"({"challengeType":"emailLink","email":"u@x.io","password":"pw","code":"1"})"},
      {AuthTokenBody("", "", "", ""), R"({"challengeType":"","email":"","password":"","code":""})"},
      {SignUpBody("u@x.io", "p1", "6"), R"({"email":"u@x.io","password":"p1","code":"6"})"},
      {ResetPasswordConfirmBody("n1", "11"), R"({"newPassword":"n1","passwordResetToken":"11"})"},
      {CodeOnlyBody("9"), R"({"code":"9"})"},
  };
  for (const auto& [body, wire] : rows) EXPECT_EQ(body, nlohmann::json::parse(wire)) << wire;
  // Bodies keep their camelCase keys and strict types when read back.
  EXPECT_TRUE(ResetPasswordConfirmBody::decode(
                  nlohmann::json::parse(R"({"new_password":"x","password_reset_token":"y"})"))
                  .isFailure());
  EXPECT_ANY_THROW((void)nlohmann::json::parse(R"({"code":1})").get<CodeOnlyBody>());
}

TEST(AnswerRecords, DecodeSnakeOrCamelKeysStrictly) {
  using Decode = std::function<std::optional<nlohmann::json>(std::string_view)>;
  const Decode email = decoded<ZTCheckEmailResponse>, token = decoded<ZTAuthTokenResponse>,
               code = decoded<ZTSendCodeResponse>, reset = decoded<ZTPasswordResetResponse>,
               check = decoded<ZTPasswordCheckResponse>, user = decoded<ZTUserDataResponse>,
               addresses = decoded<std::vector<ZTUserAddressesResponseElement>>,
               personal = decoded<ZTUserPersonalDataResponse>,
               scopes = decoded<ZTUserScopesResponse>,
               active = decoded<ZTUserAccountsActiveResponse>,
               settings = decoded<ZTAccountSettingsResponse>;
  const std::string phones = std::string(R"({"id":"u","phones":[)") + kPhone + "," +
                             with(kPhone, "created_at", kErase) + "]}";
  const struct {
    const Decode& decode;
    std::string text;
    const char* expected;  // the record's encoding, or nullptr when refused
  } rows[] = {
      {email, R"({"success":true,"message":null,"challenge":null})", R"({"success":true})"},
      {email, R"({"success":false,"message":"m","extra":[1]})",
       R"({"success":false,"message":"m"})"},
      {email, R"({"success":true,"challenge":{"challenge_type":"sms"}})",
       R"({"success":true,"challenge":{"challengeType":"sms"}})"},
      {email, R"({"success":true,"challenge":{"challengeType":"emailLink"}})",
       R"({"success":true,"challenge":{"challengeType":"emailLink"}})"},
      {email, R"({"success":true,"challenge":{"challenge_type":"OTP"}})", nullptr},
      {email, R"({"success":true,"challenge":{}})", nullptr},
      {email, R"({"success":true,"challenge":"otp"})", nullptr},
      {email, R"({"message":"hello"})", nullptr},
      {email, R"({"success":1})", nullptr},
      {email, R"({"success":true,"message":5})", nullptr},
      {email, "", nullptr},
      {token, R"({"success":true,"csrf_token":"t","expires_in":60.0})",
       R"({"success":true,"csrfToken":"t","expiresIn":60})"},
      {token, R"({"success":true,"csrfToken":"t","expiresIn":-9223372036854775808})",
       R"({"success":true,"csrfToken":"t","expiresIn":-9223372036854775808})"},
      {token, R"({"success":true,"expires_in":3600.5})", nullptr},
      {token, R"({"success":true,"expires_in":9223372036854775808})", nullptr},
      {token, R"({"success":true,"csrf_token":42})", nullptr},
      {code, "{}", "{}"},
      {code, R"({"timeout":"60"})", nullptr},
      {reset, R"({"timeout":60,"other":"x"})", R"({"timeout":60})"},
      {reset, "null", nullptr},
      {check, R"({"email":"u@x.io","has_password":true})",
       R"({"email":"u@x.io","hasPassword":true})"},
      {check, R"({"has_password":"yes"})", nullptr},
      {user, R"({"id":"u","email":null,"phones":null})", R"({"id":"u"})"},
      {user, std::string(R"({"id":"u","phones":[)") + kPhone + "]}",
       R"({"id":"u","phones":[{"id":"ph-1","createdAt":1700000000,"status":"verified",)"
       R"("country":"DE","number":"+49151","main":true}]})"},
      {user, phones, nullptr},
      {user, R"({"id":"u","phones":[null]})", nullptr},
      {user, R"({"email":"a@b.c"})", nullptr},
      {addresses, std::string("[") + kAddress + "]",
       R"([{"main":true,"createdAt":1700000000,"apartmentNumber":"4","streetNumber":"12",)"
       R"("street":"S","city":"C","stateRegion":"R","country":"DE","postalCode":"10115",)"
       R"("lat":52.0,"lng":13.405,"verified":true}])"},
      {addresses, "[" + with(kAddress, "verified", nullptr) + "]", nullptr},
      {addresses, "[" + with(kAddress, "lat", "52") + "]", nullptr},
      {addresses, kAddress, nullptr},
      {personal, R"({"id":"u","firstName":"T","last_name":"U","date_of_birth":-86400,"x":0})",
       R"({"id":"u","firstName":"T","lastName":"U","dateOfBirth":-86400})"},
      {personal, R"({"id":"u","first_name":"a","last_name":"b","date_of_birth":6.5})", nullptr},
      {scopes, R"({"scopes":["user:email:read","not:known"]})",
       R"({"scopes":["user:email:read","not:known"]})"},
      {scopes, R"({"scopes":["a",null]})", nullptr},
      {active, R"({"address":"acc-1","name":"x"})", R"({"address":"acc-1"})"},
      {active, R"({"address":1})", nullptr},
      {settings, with(kSettings, "country", nullptr),
       R"({"createdAt":1700000000,"updatedAt":1700000001,"lastActiveAt":1700003600,"id":"6f1c",)"
       R"("email":"user1@example.com","emailConfirmed":true,"smsCodeEnabled":false,)"
       R"("otpEnabled":true,"disabled":false,"fiatCurrency":"EUR","lastActiveAccount":"acc-1"})"},
      {settings, with(kSettings, "sms_code_enabled", "false"), nullptr},
      {settings, with(kSettings, "updated_at", 1.25), nullptr},
  };
  for (const auto& row : rows) {
    const auto json = row.decode(row.text);
    if (row.expected == nullptr)
      EXPECT_FALSE(json.has_value()) << row.text;
    else
      EXPECT_EQ(json, std::optional(nlohmann::json::parse(row.expected))) << row.text;
  }
}

TEST(AnswerRecords, RefusalsNameTheKeyAndWhatWasWrong) {
  using Kind = DecodingError::Kind;
  using Refusal = std::function<std::optional<DecodingError>(std::string_view)>;
  const Refusal email = refusal<ZTCheckEmailResponse>, token = refusal<ZTAuthTokenResponse>,
                user = refusal<ZTUserDataResponse>;
  const struct {
    const Refusal& decode;
    const char* text;
    Kind kind;
    std::vector<std::string> path;
    const char* why;
  } rows[] = {
      // The challenge type is read as a text first, then as one of its four values.
      {email,
       R"({"success":true,"challenge":{"challenge_type":5}})",
       Kind::TypeMismatch,
       {"challenge", "challengeType"},
       "Expected to decode String but found number instead."},
      {email,
       R"({"success":true,"challenge":{"challenge_type":null}})",
       Kind::ValueNotFound,
       {"challenge", "challengeType"},
       "Expected String value but found null instead."},
      {email,
       R"({"success":true,"challenge":{"challenge_type":"SMS"}})",
       Kind::DataCorrupted,
       {"challenge", "challengeType"},
       "Cannot initialize ChallengeType from invalid String value SMS"},
      {email,
       R"({"success":true,"challenge":[]})",
       Kind::TypeMismatch,
       {"challenge"},
       "Expected to decode Dictionary<String, Any> but found an array instead."},
      // Fields fail in their listed order, an optional one only when present.
      {token,
       R"({"csrf_token":1})",
       Kind::KeyNotFound,
       {},
       R"(No value associated with key "success".)"},
      {token,
       R"({"success":true,"expires_in":"60","message":2})",
       Kind::TypeMismatch,
       {"expiresIn"},
       "Expected to decode Int but found a string instead."},
      {user,
       R"({"id":"u","phones":[{"id":1}]})",
       Kind::TypeMismatch,
       {"phones", "Index 0", "id"},
       "Expected to decode String but found number instead."},
  };
  for (const auto& row : rows) {
    const auto error = row.decode(row.text);
    ASSERT_TRUE(error.has_value()) << row.text;
    EXPECT_EQ(error->kind, row.kind) << row.text;
    EXPECT_EQ(error->codingPath, row.path) << row.text;
    EXPECT_EQ(error->debugDescription, row.why) << row.text;
  }
}

TEST(AnswerRecords, EveryAccountSettingButTheCountryIsRequired) {
  const auto settings = nlohmann::json::parse(kSettings);
  for (const auto& [key, _] : settings.items()) {
    const bool optional = key == "country";
    EXPECT_EQ(
        decodeAnswer<ZTAccountSettingsResponse>(with(kSettings, key.c_str(), kErase)).isSuccess(),
        optional)
        << key;
  }
  auto missing = decodeAnswer<ZTUserDataResponse>(std::string(R"({"id":"u","phones":[)") + kPhone +
                                                  "," + with(kPhone, "main", kErase) + "]}");
  ASSERT_TRUE(missing.isFailure());
  EXPECT_EQ(missing.error().kind, DecodingError::Kind::KeyNotFound);
  EXPECT_EQ(missing.error().codingPath, (std::vector<std::string>{"phones", "Index 1"}));
  EXPECT_EQ(missing.error().localizedDescription(),
            "The data couldn\u2019t be read because it is missing.");
}

}  // namespace
