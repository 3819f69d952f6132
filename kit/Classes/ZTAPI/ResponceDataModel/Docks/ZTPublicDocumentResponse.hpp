#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// An address document of the API server. `lat` and `lng` are whole numbers: 52.5 fails.
struct ZTPublicDocumentResponse {
  static constexpr const char* swiftTypeName = "ZTPublicDocumentResponse";

  std::string id;
  std::int64_t createdAt = 0;
  ZTPublicConstants::DocumentType documentType{};
  ZTPublicConstants::AreaType areaType{};
  std::string apartmentNumber;
  std::string streetNumber;
  std::string street;
  std::string city;
  std::string stateRegion;
  std::string country;
  std::string postalCode;
  std::int64_t lat = 0;
  std::int64_t lng = 0;

  static Foundation::Result<ZTPublicDocumentResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const ZTPublicDocumentResponse& value);
void from_json(const nlohmann::json& json, ZTPublicDocumentResponse& value);

}  // namespace ZentrelSDK
