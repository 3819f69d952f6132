#pragma once

#include <cstdint>
#include <optional>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// Answer to a password-reset request.
struct ZTPasswordResetResponse {
  static constexpr const char* swiftTypeName = "ZTPasswordResetResponse";

  std::optional<std::int64_t> timeout{};  // seconds before a new code may be asked for

  static Foundation::Result<ZTPasswordResetResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const ZTPasswordResetResponse& value);
void from_json(const nlohmann::json& json, ZTPasswordResetResponse& value);

}  // namespace ZentrelSDK
