#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// The error value host-facing requests hand to their errorEvent callbacks: the HTTP status
// (or 0 for a failure without an answer) and the text to show. A value, never thrown.
struct ZTOAuthError {
  static constexpr const char* swiftTypeName = "ZTOAuthError";

  std::int64_t code = 0;
  std::optional<std::string> message;

  ZTOAuthError() = default;
  ZTOAuthError(std::int64_t code, std::optional<std::string> message)
      : code(code), message(std::move(message)) {}

  static Foundation::Result<ZTOAuthError, Foundation::DecodingError> decode(
      const nlohmann::json& j);

  bool operator==(const ZTOAuthError&) const = default;
};

// "message" is written only when present.
void to_json(nlohmann::json& j, const ZTOAuthError& error);
void from_json(const nlohmann::json& j, ZTOAuthError& error);

}  // namespace ZentrelSDK
