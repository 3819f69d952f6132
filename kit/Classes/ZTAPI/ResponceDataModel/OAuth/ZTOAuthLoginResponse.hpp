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

// Answer to the login lookup: skip tells whether the server needs the user's code.
struct ZTOAuthLoginResponse {
  static constexpr const char* swiftTypeName = "ZTOAuthLoginResponse";

  bool skip = false;
  std::string email;
  std::optional<std::string> redirect;  // followed at once when skip is true

  ZTOAuthLoginResponse() = default;
  ZTOAuthLoginResponse(bool skip, std::string email, std::optional<std::string> redirect)
      : skip(skip), email(std::move(email)), redirect(std::move(redirect)) {}

  static Foundation::Result<ZTOAuthLoginResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
  bool operator==(const ZTOAuthLoginResponse&) const = default;
};

void to_json(nlohmann::json& json, const ZTOAuthLoginResponse& value);
void from_json(const nlohmann::json& json, ZTOAuthLoginResponse& value);

}  // namespace ZentrelSDK
