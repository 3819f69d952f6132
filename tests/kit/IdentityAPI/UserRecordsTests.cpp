// The user-data records a host names as response models, decoded as the API server sends them.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "ZTAPI/ResponceDataModel/User/ZTUserAccountsActiveResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserAddressesResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserDataResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserPersonalDataResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserScopesResponse.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"

namespace {

using namespace ZentrelSDK;
using Foundation::DecodingError;

template <class T>
Foundation::Result<T, DecodingError> decodeAnswer(std::string_view text) {
  return parse<T>(
      Foundation::Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

constexpr const char* kPhone =
    R"({"id":"ph-1","created_at":1700000000,"status":"verified","country":"DE",)"
    R"("number":"+4915100000001","main":true})";

constexpr const char* kAddress =
    R"({"main":true,"created_at":1700000000,"apartment_number":"4","street_number":"12",)"
    R"("street":"Sample Street","city":"Sample City","state_region":"Sample Region",)"
    R"("country":"DE","postal_code":"10115","lat":52.52,"lng":13.405,"verified":true})";

// --- User and phones ----------------------------------------------------------------------

TEST(UserDataResponse, DecodesTheUserWithPhonesInOrder) {
  const std::string text = std::string(R"({"id":"u-1","email":"user1@example.com","phones":[)") +
                           kPhone + R"(,{"id":"ph-2","createdAt":5,"status":"pending",)" +
                           R"("country":"FR","number":"+33","main":false}],"extra":1})";
  auto user = decodeAnswer<ZTUserDataResponse>(text);
  ASSERT_TRUE(user.isSuccess()) << user.error().description();
  EXPECT_EQ(user.value().id, "u-1");
  EXPECT_EQ(user.value().email, "user1@example.com");
  ASSERT_TRUE(user.value().phones.has_value());
  const auto& phones = *user.value().phones;
  ASSERT_EQ(phones.size(), 2u);
  EXPECT_EQ(phones[0].id, "ph-1");
  EXPECT_EQ(phones[0].createdAt, 1700000000);
  EXPECT_EQ(phones[0].status, "verified");
  EXPECT_EQ(phones[0].country, "DE");
  EXPECT_EQ(phones[0].number, "+4915100000001");
  EXPECT_TRUE(phones[0].main);
  EXPECT_EQ(phones[1].id, "ph-2");
  EXPECT_EQ(phones[1].createdAt, 5);
  EXPECT_FALSE(phones[1].main);
}

TEST(UserDataResponse, EmailAndPhonesAreOptionalButNotLoose) {
  for (const char* text : {R"({"id":"u-1"})", R"({"id":"u-1","email":null,"phones":null})"}) {
    auto user = decodeAnswer<ZTUserDataResponse>(text);
    ASSERT_TRUE(user.isSuccess()) << text;
    EXPECT_FALSE(user.value().email.has_value());
    EXPECT_FALSE(user.value().phones.has_value());
  }
  auto noPhones = decodeAnswer<ZTUserDataResponse>(R"({"id":"u-1","phones":[]})");
  ASSERT_TRUE(noPhones.isSuccess());
  ASSERT_TRUE(noPhones.value().phones.has_value());
  EXPECT_TRUE(noPhones.value().phones->empty());

  for (const char* bad : {R"({"email":"a@b.c"})", R"({"id":null})", R"({"id":"u","email":3})",
                          R"({"id":"u","phones":{}})", R"({"id":"u","phones":[null]})",
                          R"({"id":"u","phones":"x"})"}) {
    EXPECT_TRUE(decodeAnswer<ZTUserDataResponse>(bad).isFailure()) << bad;
  }
}

TEST(UserDataResponse, OneBadPhoneFailsTheWholeUser) {
  auto phone = nlohmann::json::parse(kPhone);
  phone.erase("main");
  nlohmann::json user = {{"id", "u-1"}, {"phones", {nlohmann::json::parse(kPhone), phone}}};
  auto decoded = decodeAnswer<ZTUserDataResponse>(user.dump());
  ASSERT_TRUE(decoded.isFailure());
  EXPECT_EQ(decoded.error().kind, DecodingError::Kind::KeyNotFound);
  EXPECT_EQ(decoded.error().key, "main");
  EXPECT_EQ(decoded.error().codingPath, (std::vector<std::string>{"phones", "Index 1"}));

  const std::pair<const char*, nlohmann::json> wrong[] = {
      {"main", 1}, {"created_at", 1.5}, {"created_at", "1700000000"}, {"number", 4915}};
  for (const auto& [key, value] : wrong) {
    auto bad = nlohmann::json::parse(kPhone);
    bad[key] = value;
    nlohmann::json body = {{"id", "u-1"}, {"phones", {bad}}};
    EXPECT_TRUE(decodeAnswer<ZTUserDataResponse>(body.dump()).isFailure()) << body.dump();
  }
}

TEST(UserDataResponse, EncodingLeavesAbsentFieldsOut) {
  const ZTUserDataResponse bare{.id = "u-1"};
  EXPECT_EQ(nlohmann::json(bare), nlohmann::json::parse(R"({"id":"u-1"})"));

  const ZTUserDataResponse full{
      .id = "u-2",
      .email = "x@y.z",
      .phones = std::vector<Phone>{
          {.id = "p", .createdAt = 3, .status = "s", .country = "c", .number = "n", .main = true}}};
  const nlohmann::json encoded = full;
  EXPECT_EQ(encoded["phones"][0]["createdAt"], 3);
  auto back = decodeAnswer<ZTUserDataResponse>(encoded.dump());
  ASSERT_TRUE(back.isSuccess());
  EXPECT_EQ(nlohmann::json(back.value()), encoded);
}

// --- Addresses ----------------------------------------------------------------------------

TEST(UserAddressesResponse, DecodesAListFromSnakeOrCamelKeys) {
  auto camel = nlohmann::json::parse(kAddress);
  camel["createdAt"] = camel["created_at"];
  camel.erase("created_at");
  camel["postalCode"] = camel["postal_code"];
  camel.erase("postal_code");
  camel["apartmentNumber"] = camel["apartment_number"];
  camel.erase("apartment_number");
  camel["lat"] = 52;  // an integral number reads as floating point
  const std::string text = std::string("[") + kAddress + "," + camel.dump() + "]";

  auto list = decodeAnswer<std::vector<ZTUserAddressesResponseElement>>(text);
  ASSERT_TRUE(list.isSuccess()) << list.error().description();
  ASSERT_EQ(list.value().size(), 2u);
  const auto& first = list.value()[0];
  EXPECT_TRUE(first.main);
  EXPECT_EQ(first.createdAt, 1700000000);
  EXPECT_EQ(first.apartmentNumber, "4");
  EXPECT_EQ(first.streetNumber, "12");
  EXPECT_EQ(first.street, "Sample Street");
  EXPECT_EQ(first.city, "Sample City");
  EXPECT_EQ(first.stateRegion, "Sample Region");
  EXPECT_EQ(first.country, "DE");
  EXPECT_EQ(first.postalCode, "10115");
  EXPECT_DOUBLE_EQ(first.lat, 52.52);
  EXPECT_DOUBLE_EQ(first.lng, 13.405);
  EXPECT_TRUE(first.verified);
  const auto& second = list.value()[1];
  EXPECT_EQ(second.createdAt, 1700000000);
  EXPECT_EQ(second.postalCode, "10115");
  EXPECT_EQ(second.apartmentNumber, "4");
  EXPECT_DOUBLE_EQ(second.lat, 52.0);

  auto empty = decodeAnswer<std::vector<ZTUserAddressesResponseElement>>("[]");
  ASSERT_TRUE(empty.isSuccess());
  EXPECT_TRUE(empty.value().empty());
}

TEST(UserAddressesResponse, EveryFieldIsRequiredAndTyped) {
  const auto address = nlohmann::json::parse(kAddress);
  for (const auto& [key, _] : address.items()) {
    auto missing = address;
    missing.erase(key);
    EXPECT_TRUE(decodeAnswer<ZTUserAddressesResponseElement>(missing.dump()).isFailure()) << key;
  }
  const std::pair<const char*, nlohmann::json> wrong[] = {
      {"lat", "52.52"}, {"lng", true}, {"verified", 1}, {"main", "true"}, {"street_number", 12}};
  for (const auto& [key, value] : wrong) {
    auto bad = address;
    bad[key] = value;
    EXPECT_TRUE(decodeAnswer<ZTUserAddressesResponseElement>(bad.dump()).isFailure()) << key;
  }

  // One bad element fails the list.
  auto bad = address;
  bad["verified"] = nullptr;
  const nlohmann::json list = {address, bad};
  auto decoded = decodeAnswer<std::vector<ZTUserAddressesResponseElement>>(list.dump());
  ASSERT_TRUE(decoded.isFailure());
  EXPECT_EQ(decoded.error().kind, DecodingError::Kind::ValueNotFound);
  EXPECT_EQ(decoded.error().codingPath, (std::vector<std::string>{"Index 1", "verified"}));
  EXPECT_TRUE(decodeAnswer<std::vector<ZTUserAddressesResponseElement>>(kAddress)
                  .isFailure());  // not a list
}

// --- Personal data, active account, scopes ------------------------------------------------

TEST(UserPersonalDataResponse, ReadsSnakeOrCamelAndNeedsEveryField) {
  for (const char* text :
       {R"({"id":"u-1","first_name":"Test","last_name":"User","date_of_birth":631152000})",
        R"({"id":"u-1","firstName":"Test","lastName":"User","dateOfBirth":631152000,"x":0})"}) {
    auto personal = decodeAnswer<ZTUserPersonalDataResponse>(text);
    ASSERT_TRUE(personal.isSuccess()) << text;
    EXPECT_EQ(personal.value().id, "u-1");
    EXPECT_EQ(personal.value().firstName, "Test");
    EXPECT_EQ(personal.value().lastName, "User");
    EXPECT_EQ(personal.value().dateOfBirth, 631152000);
  }
  auto negative = decodeAnswer<ZTUserPersonalDataResponse>(
      R"({"id":"u","first_name":"a","last_name":"b","date_of_birth":-86400})");
  ASSERT_TRUE(negative.isSuccess());
  EXPECT_EQ(negative.value().dateOfBirth, -86400);

  for (const char* bad :
       {R"({"id":"u","first_name":"a","last_name":"b"})",
        R"({"id":"u","first_name":"a","last_name":"b","date_of_birth":"631152000"})",
        R"({"id":"u","first_name":"a","last_name":"b","date_of_birth":6.5})",
        R"({"id":"u","first_name":null,"last_name":"b","date_of_birth":1})", "", "{}"}) {
    EXPECT_TRUE(decodeAnswer<ZTUserPersonalDataResponse>(bad).isFailure()) << bad;
  }
}

TEST(UserScopesResponse, KeepsTheServersListAsIs) {
  auto scopes =
      decodeAnswer<ZTUserScopesResponse>(R"({"scopes":["user:email:read","not:a:known:scope"]})");
  ASSERT_TRUE(scopes.isSuccess());
  EXPECT_EQ(scopes.value().scopes,
            (std::vector<std::string>{"user:email:read", "not:a:known:scope"}));
  auto none = decodeAnswer<ZTUserScopesResponse>(R"({"scopes":[]})");
  ASSERT_TRUE(none.isSuccess());
  EXPECT_TRUE(none.value().scopes.empty());

  for (const char* bad : {R"({"scopes":null})", "{}", R"({"scopes":"user:email:read"})",
                          R"({"scopes":["a",1]})", R"({"scopes":["a",null]})"}) {
    EXPECT_TRUE(decodeAnswer<ZTUserScopesResponse>(bad).isFailure()) << bad;
  }
}

TEST(UserAccountsActiveResponse, IgnoresUnknownKeys) {
  auto active = decodeAnswer<ZTUserAccountsActiveResponse>(
      R"({"address":"acc-1","name":"Main account","balance":{"EUR":1}})");
  ASSERT_TRUE(active.isSuccess());
  EXPECT_EQ(active.value().address, "acc-1");
  EXPECT_TRUE(decodeAnswer<ZTUserAccountsActiveResponse>(R"({"name":"x"})").isFailure());
  EXPECT_TRUE(decodeAnswer<ZTUserAccountsActiveResponse>(R"({"address":1})").isFailure());
}

}  // namespace
