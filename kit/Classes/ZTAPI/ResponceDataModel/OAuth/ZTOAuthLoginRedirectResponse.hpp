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

// Answer to the login with a code: where the flow goes next.
struct ZTOAuthLoginRedirectResponse {
  static constexpr const char* swiftTypeName = "ZTOAuthLoginRedirectResponse";

  std::string redirect;

  ZTOAuthLoginRedirectResponse() = default;
  explicit ZTOAuthLoginRedirectResponse(std::string redirect) : redirect(std::move(redirect)) {}

  static Foundation::Result<ZTOAuthLoginRedirectResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
  bool operator==(const ZTOAuthLoginRedirectResponse&) const = default;
};

void to_json(nlohmann::json& json, const ZTOAuthLoginRedirectResponse& value);
void from_json(const nlohmann::json& json, ZTOAuthLoginRedirectResponse& value);

}  // namespace ZentrelSDK
