#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// One postal address of the user; the address endpoint answers a list of them. Every field is
// required.
struct ZTUserAddressesResponseElement {
  static constexpr const char* swiftTypeName = "ZTUserAddressesResponseElement";

  bool main = false;
  std::int64_t createdAt = 0;
  std::string apartmentNumber;
  std::string streetNumber;
  std::string street;
  std::string city;
  std::string stateRegion;
  std::string country;
  std::string postalCode;
  double lat = 0;
  double lng = 0;
  bool verified = false;

  static Foundation::Result<ZTUserAddressesResponseElement, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const ZTUserAddressesResponseElement& value);
void from_json(const nlohmann::json& json, ZTUserAddressesResponseElement& value);

}  // namespace ZentrelSDK
