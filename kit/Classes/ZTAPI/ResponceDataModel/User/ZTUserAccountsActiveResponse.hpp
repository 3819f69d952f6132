#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// The user's active account.
struct ZTUserAccountsActiveResponse {
  static constexpr const char* swiftTypeName = "ZTUserAccountsActiveResponse";

  std::string address;

  static Foundation::Result<ZTUserAccountsActiveResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const ZTUserAccountsActiveResponse& value);
void from_json(const nlohmann::json& json, ZTUserAccountsActiveResponse& value);

}  // namespace ZentrelSDK
