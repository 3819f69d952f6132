#include <gtest/gtest.h>

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/Data.hpp>

#include "ZTAPI/ZTResponseHandler.hpp"

namespace {

using Foundation::DecodingError;
using ZentrelSDK::ZTNetworkError;
using ZentrelSDK::ZTOAuthError;
using ZentrelSDK::ZTResponse;
using ZentrelSDK::ZTResponseHandler;

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

}  // namespace
