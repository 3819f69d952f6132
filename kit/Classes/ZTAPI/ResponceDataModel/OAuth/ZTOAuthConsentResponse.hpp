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

// Answer to the consent lookup, filled by hand from the answer object (see ZTOAuth). The two
// URL fields cross over: `redirect_url` holds the answer's request_url, `urlWhileSkipping`
// its redirect_url, the URL to follow when the server skips the consent screen.
struct ZTOAuthConsentResponse {
  static constexpr const char* swiftTypeName = "ZTOAuthConsentResponse";

  std::optional<std::vector<std::string>> requested_scope;
  bool skip = false;
  std::optional<std::string> redirect_url;
  std::optional<std::string> urlWhileSkipping;

  ZTOAuthConsentResponse() = default;
  ZTOAuthConsentResponse(std::optional<std::vector<std::string>> requested_scope, bool skip,
                         std::optional<std::string> redirect_url,
                         std::optional<std::string> urlWhileSkipping)
      : requested_scope(std::move(requested_scope)),
        skip(skip),
        redirect_url(std::move(redirect_url)),
        urlWhileSkipping(std::move(urlWhileSkipping)) {}

  static Foundation::Result<ZTOAuthConsentResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
  bool operator==(const ZTOAuthConsentResponse&) const = default;
};

void to_json(nlohmann::json& json, const ZTOAuthConsentResponse& value);
void from_json(const nlohmann::json& json, ZTOAuthConsentResponse& value);

}  // namespace ZentrelSDK
