#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// One document of the identity server with its images' references and the data recognised on
// it. Every field is required; times and dates are carried as the server sends them.
struct ZTDocumentResponse {
  static constexpr const char* swiftTypeName = "ZTDocumentResponse";

  std::string id;
  std::int64_t createdAt = 0;
  ZTPublicConstants::DocumentStatusType status{};
  ZTPublicConstants::DocumentType documentType{};
  std::string description;
  std::string imageId;
  std::string imageHash;
  std::string mimeType;
  std::string backImageId;
  std::string backImageHash;
  std::string backMimeType;
  std::string firstName;
  std::string lastName;
  std::string number;
  std::int64_t dateOfBirth = 0;
  std::int64_t dateOfIssue = 0;
  std::int64_t dateOfExpiry = 0;
  std::string issuingCountry;
  std::string issuingAuthority;
  std::string issuingPlace;
  std::string address;

  static Foundation::Result<ZTDocumentResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const ZTDocumentResponse& value);
void from_json(const nlohmann::json& json, ZTDocumentResponse& value);

}  // namespace ZentrelSDK
