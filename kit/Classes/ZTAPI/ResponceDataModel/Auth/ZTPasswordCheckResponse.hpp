#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// Answer to the password check: whether an account has a password.
struct ZTPasswordCheckResponse {
  static constexpr const char* swiftTypeName = "ZTPasswordCheckResponse";

  std::optional<std::string> email{};
  std::optional<bool> hasPassword{};

  static Foundation::Result<ZTPasswordCheckResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const ZTPasswordCheckResponse& value);
void from_json(const nlohmann::json& json, ZTPasswordCheckResponse& value);

}  // namespace ZentrelSDK
