#pragma once

#include <cstdint>
#include <optional>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// Answer to a verification-code request.
struct ZTSendCodeResponse {
  static constexpr const char* swiftTypeName = "ZTSendCodeResponse";

  std::optional<std::int64_t> timeout{};  // seconds before a new code may be asked for

  static Foundation::Result<ZTSendCodeResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const ZTSendCodeResponse& value);
void from_json(const nlohmann::json& json, ZTSendCodeResponse& value);

}  // namespace ZentrelSDK
