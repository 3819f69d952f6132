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

// Answer to the consent grant: where the flow goes next.
struct ZTOAuthConsentRedirectResponse {
  static constexpr const char* swiftTypeName = "ZTOAuthConsentRedirectResponse";

  std::string redirect;

  ZTOAuthConsentRedirectResponse() = default;
  explicit ZTOAuthConsentRedirectResponse(std::string redirect) : redirect(std::move(redirect)) {}

  static Foundation::Result<ZTOAuthConsentRedirectResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
  bool operator==(const ZTOAuthConsentRedirectResponse&) const = default;
};

void to_json(nlohmann::json& json, const ZTOAuthConsentRedirectResponse& value);
void from_json(const nlohmann::json& json, ZTOAuthConsentRedirectResponse& value);

}  // namespace ZentrelSDK
