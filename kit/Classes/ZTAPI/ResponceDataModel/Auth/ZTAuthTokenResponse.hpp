#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// Answer to the log-in and to the sign-up.
struct ZTAuthTokenResponse {
  static constexpr const char* swiftTypeName = "ZTAuthTokenResponse";

  bool success = false;
  std::optional<std::string> csrfToken{};  // the session token, as the server sends it
  std::optional<std::int64_t> expiresIn{};
  std::optional<std::string> message{};

  static Foundation::Result<ZTAuthTokenResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const ZTAuthTokenResponse& value);
void from_json(const nlohmann::json& json, ZTAuthTokenResponse& value);

}  // namespace ZentrelSDK
