#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <Foundation/Data.hpp>
#include <Foundation/JSONCoding.hpp>

#include "ZTAPI/ResponceDataModel/ZTError.hpp"
#include "ZTAPI/ZTResponseHandler.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"
#include "ZTNetworkCore/ZTCodableRequestBody.hpp"
#include "ZTNetworkCore/ZTNetworkErrors.hpp"

namespace {

using Foundation::DecodingError;
using ZentrelSDK::EmptyBody;
using ZentrelSDK::ZTNetworkError;
using ZentrelSDK::ZTOAuthError;
using ZentrelSDK::ZTResponse;
using ZentrelSDK::ZTResponseHandler;

struct Document {
  static constexpr const char* swiftTypeName = "Document";
  std::string id;
  std::int64_t createdAt = 0;
  std::string documentType;
  static Foundation::Result<Document, DecodingError> decode(const nlohmann::json& j) {
    Foundation::KeyedDecodingContainer c(j);
    Document d;
    c.decode("id", d.id);
    c.decode("createdAt", d.createdAt);
    c.decode("documentType", d.documentType);
    return c.finish(std::move(d));
  }
};

// A record written the nlohmann way only.
struct Legacy {
  std::string name;
};
void from_json(const nlohmann::json& j, Legacy& l) {
  j.at("name").get_to(l.name);
}

Foundation::Data bytes(const std::string& text) {
  return Foundation::dataFromString(text);
}

TEST(NetworkErrorTexts, EveryCaseHasItsFixedText) {
  EXPECT_EQ(ZTNetworkError::statusCodeIsNot200(404).description(),
            "answer has not status code = 200 (404)");
  EXPECT_EQ(ZTNetworkError::statusCodeIsNot200(-1).description(),
            "answer has not status code = 200 (-1)");
  EXPECT_EQ(ZTNetworkError::wrongURL().description(), "wrong url");
  EXPECT_EQ(ZTNetworkError::cannotEncodeParameters().description(),
            "problem with encoding parameters");
  EXPECT_EQ(ZTNetworkError::responseIsNil().description(), "there is no response");
  EXPECT_EQ(ZTNetworkError::cannotEncodeBody().description(), "problem with encoding answer");
  EXPECT_EQ(ZTNetworkError::decodingError().description(), "cannot decode answer");
  EXPECT_EQ(ZTNetworkError::errorWhileDecoding().description(), "error while decoding");
  EXPECT_EQ(ZTNetworkError::unauthorized().description(), "unauthorized");
  EXPECT_EQ(ZTNetworkError::dataIsEmpty().description(), "loaded data is empty");
  EXPECT_EQ(ZTNetworkError::noRedirectManager().description(), "redirect manager did not set");

  const ZentrelSDK::Error erased = ZTNetworkError::statusCodeIsNot200(500);
  EXPECT_EQ(erased.localizedDescription(), "answer has not status code = 200 (500)");
  ASSERT_TRUE(erased.is<ZTNetworkError>());
  EXPECT_EQ(erased.as<ZTNetworkError>()->otherCode(), 500);
  EXPECT_EQ(erased, ZTNetworkError::statusCodeIsNot200(500));
  EXPECT_FALSE(erased == ZTNetworkError::statusCodeIsNot200(501));
  EXPECT_FALSE(erased.is<DecodingError>());
}

TEST(ReadableErrorMessage, StatusAndBodyText) {
  using H = ZTResponseHandler;
  for (const auto& data : {std::optional<Foundation::Data>(), std::optional(bytes("denied"))}) {
    EXPECT_EQ(H::createReadableErrorMessage(ZTResponse{401, data}),
              ZTOAuthError(401, "unauthorized"));
  }
  EXPECT_EQ(H::createReadableErrorMessage(ZTResponse{500, std::nullopt}),
            ZTOAuthError(500, "no data"));
  EXPECT_EQ(H::createReadableErrorMessage(ZTResponse{500, Foundation::Data{}}),
            ZTOAuthError(500, ""));
  EXPECT_EQ(H::createReadableErrorMessage(ZTResponse{500, Foundation::Data{0xFF, 0xFE}}),
            ZTOAuthError(500, "some wrong data"));
  EXPECT_EQ(H::createReadableErrorMessage(ZTResponse{409, bytes(R"({"error":"taken"})")}),
            ZTOAuthError(409, R"({"error":"taken"})"));
  EXPECT_EQ(H::createReadableErrorMessage(ZTResponse{200, bytes("fine")}),
            ZTOAuthError(200, "fine"));
}

TEST(AnswerParsing, SnakeCaseKeysFillCamelCaseFields) {
  auto parsed = ZentrelSDK::parse<Document>(
      bytes(R"({"id":"d1","created_at":1700000000,"document_type":"Passport","extra":[1]})"));
  ASSERT_TRUE(parsed.isSuccess()) << parsed.error().description();
  EXPECT_EQ(parsed.value().id, "d1");
  EXPECT_EQ(parsed.value().createdAt, 1700000000);
  EXPECT_EQ(parsed.value().documentType, "Passport");

  auto list = ZentrelSDK::parse<std::vector<Document>>(
      bytes(R"([{"id":"a","created_at":1,"document_type":"IdCard"}])"));
  ASSERT_TRUE(list.isSuccess());
  EXPECT_EQ(list.value().at(0).documentType, "IdCard");
}

TEST(AnswerParsing, StrictAboutMissingKeysTypesAndSyntax) {
  auto missing = ZentrelSDK::parse<Document>(bytes(R"({"id":"d1","created_at":1})"));
  ASSERT_TRUE(missing.isFailure());
  EXPECT_EQ(missing.error().kind, DecodingError::Kind::KeyNotFound);

  auto wrongType =
      ZentrelSDK::parse<Document>(bytes(R"({"id":"d1","created_at":"1","document_type":"x"})"));
  ASSERT_TRUE(wrongType.isFailure());
  EXPECT_EQ(wrongType.error().kind, DecodingError::Kind::TypeMismatch);

  auto oneBadElement = ZentrelSDK::parse<std::vector<Document>>(bytes(
      R"([{"id":"a","created_at":1,"document_type":"x"},{"id":"b","created_at":null,"document_type":"x"}])"));
  EXPECT_TRUE(oneBadElement.isFailure());

  EXPECT_TRUE(ZentrelSDK::parse<Document>(bytes("<html>not json</html>")).isFailure());
  EXPECT_TRUE(ZentrelSDK::parse<Document>(Foundation::Data{}).isFailure());

  ASSERT_TRUE(ZentrelSDK::parse<Legacy>(bytes(R"({"name":"n"})")).isSuccess());
  EXPECT_TRUE(ZentrelSDK::parse<Legacy>(bytes(R"({"title":"n"})")).isFailure());
  EXPECT_TRUE(ZentrelSDK::parse<Legacy>(bytes(R"({"name":3})")).isFailure());
}

TEST(AnswerParsing, ParseDataNeedsBytes) {
  auto none = ZTResponseHandler::parseData<Document>(std::nullopt);
  ASSERT_TRUE(none.isFailure());
  EXPECT_EQ(none.error(), ZTResponseHandler::ParseError::noData());
  EXPECT_FALSE(none.error().localizedDescription().empty());

  auto notJson = ZTResponseHandler::parseData<Document>(bytes("nope"));
  ASSERT_TRUE(notJson.isFailure());
  EXPECT_TRUE(notJson.error().is<DecodingError>());

  auto ok = ZTResponseHandler::parseData<Document>(
      bytes(R"({"id":"x","created_at":5,"document_type":"IdCard"})"));
  ASSERT_TRUE(ok.isSuccess());
  EXPECT_EQ(ok.value().createdAt, 5);
}

TEST(SharedRecords, EmptyBodyAndOAuthErrorJSON) {
  EXPECT_TRUE(EmptyBody().success);
  EXPECT_EQ(nlohmann::json(EmptyBody()), nlohmann::json({{"success", true}}));
  EXPECT_TRUE(Foundation::decodeValue<EmptyBody>(nlohmann::json::object()).isFailure());
  EXPECT_TRUE(Foundation::decodeValue<EmptyBody>(nlohmann::json{{"success", 1}}).isFailure());
  EXPECT_TRUE(Foundation::decodeValue<EmptyBody>(nlohmann::json{{"success", true}}).isSuccess());

  EXPECT_EQ(nlohmann::json(ZTOAuthError(0, std::nullopt)), nlohmann::json({{"code", 0}}));
  EXPECT_EQ(nlohmann::json(ZTOAuthError(401, "unauthorized")),
            nlohmann::json({{"code", 401}, {"message", "unauthorized"}}));
  auto decoded =
      Foundation::decodeValue<ZTOAuthError>(nlohmann::json{{"code", 7}, {"message", nullptr}});
  ASSERT_TRUE(decoded.isSuccess());
  EXPECT_EQ(decoded.value(), ZTOAuthError(7, std::nullopt));
  EXPECT_TRUE(Foundation::decodeValue<ZTOAuthError>(nlohmann::json{{"message", "m"}}).isFailure());
  const nlohmann::json codeOnly{{"code", 3}};
  EXPECT_EQ(codeOnly.get<ZTOAuthError>(), ZTOAuthError(3, std::nullopt));
}

}  // namespace
