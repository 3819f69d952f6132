#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// One telephone number of the user; every field is required.
struct Phone {
  static constexpr const char* swiftTypeName = "Phone";

  std::string id;
  std::int64_t createdAt = 0;
  std::string status;
  std::string country;
  std::string number;
  bool main = false;

  static Foundation::Result<Phone, Foundation::DecodingError> decode(const nlohmann::json& json);
};

// The user, as the API server's user endpoint answers it.
struct ZTUserDataResponse {
  static constexpr const char* swiftTypeName = "ZTUserDataResponse";

  std::string id;
  std::optional<std::string> email{};
  std::optional<std::vector<Phone>> phones{};  // in the order sent; one bad entry fails the user

  static Foundation::Result<ZTUserDataResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const Phone& value);
void to_json(nlohmann::json& json, const ZTUserDataResponse& value);
void from_json(const nlohmann::json& json, Phone& value);
void from_json(const nlohmann::json& json, ZTUserDataResponse& value);

}  // namespace ZentrelSDK
