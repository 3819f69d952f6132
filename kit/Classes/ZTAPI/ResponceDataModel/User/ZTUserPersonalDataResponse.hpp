#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// The user's personal data. The user-data client knows this type: an answer without content
// is reported as "Personal data is empty" rather than decoded.
struct ZTUserPersonalDataResponse {
  static constexpr const char* swiftTypeName = "ZTUserPersonalDataResponse";

  std::string id;
  std::string firstName;
  std::string lastName;
  std::int64_t dateOfBirth = 0;  // as the server sends it

  static Foundation::Result<ZTUserPersonalDataResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const ZTUserPersonalDataResponse& value);
void from_json(const nlohmann::json& json, ZTUserPersonalDataResponse& value);

}  // namespace ZentrelSDK
