#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// The signed-in user's account settings. Times are passed on as the server sends them.
struct ZTAccountSettingsResponse {
  static constexpr const char* swiftTypeName = "ZTAccountSettingsResponse";

  std::int64_t createdAt = 0;
  std::int64_t updatedAt = 0;
  std::int64_t lastActiveAt = 0;
  std::string id;
  std::string email;
  bool emailConfirmed = false;
  bool smsCodeEnabled = false;  // codes go out by SMS
  std::optional<std::string> country{};
  bool otpEnabled = false;  // codes come from an authenticator app
  bool disabled = false;
  std::string fiatCurrency;
  std::string lastActiveAccount;

  static Foundation::Result<ZTAccountSettingsResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const ZTAccountSettingsResponse& value);
void from_json(const nlohmann::json& json, ZTAccountSettingsResponse& value);

}  // namespace ZentrelSDK
