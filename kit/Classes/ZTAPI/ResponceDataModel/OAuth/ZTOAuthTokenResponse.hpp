#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// Answer to the code exchange. Every member is required, although OAuth lets a server omit
// some; only accessToken is kept by the flow.
struct ZTOAuthTokenResponse {
  static constexpr const char* swiftTypeName = "ZTOAuthTokenResponse";

  std::string refreshToken;
  std::int64_t expiresIn = 0;
  std::string accessToken;
  std::string scope;
  std::string tokenType;

  ZTOAuthTokenResponse() = default;
  ZTOAuthTokenResponse(std::string refreshToken, std::int64_t expiresIn, std::string accessToken,
                       std::string scope, std::string tokenType)
      : refreshToken(std::move(refreshToken)),
        expiresIn(expiresIn),
        accessToken(std::move(accessToken)),
        scope(std::move(scope)),
        tokenType(std::move(tokenType)) {}

  static Foundation::Result<ZTOAuthTokenResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
  bool operator==(const ZTOAuthTokenResponse&) const = default;
};

void to_json(nlohmann::json& json, const ZTOAuthTokenResponse& value);
void from_json(const nlohmann::json& json, ZTOAuthTokenResponse& value);

}  // namespace ZentrelSDK
