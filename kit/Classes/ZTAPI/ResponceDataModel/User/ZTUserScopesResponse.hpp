#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// The scopes the user has granted, in the server's order and unchecked.
struct ZTUserScopesResponse {
  static constexpr const char* swiftTypeName = "ZTUserScopesResponse";

  std::vector<std::string> scopes;

  static Foundation::Result<ZTUserScopesResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const ZTUserScopesResponse& value);
void from_json(const nlohmann::json& json, ZTUserScopesResponse& value);

}  // namespace ZentrelSDK
