#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// One element of the identity server's documents list: the fields of ZTDocumentResponse and
// the area type, nationality and gender. Every field is required.
struct DocumentItem {
  static constexpr const char* swiftTypeName = "DocumentItem";

  std::string id;
  std::int64_t createdAt = 0;
  ZTPublicConstants::DocumentStatusType status{};
  ZTPublicConstants::DocumentType documentType{};
  ZTPublicConstants::AreaType areaType{};
  std::string description;
  std::string imageId;
  std::string imageHash;
  std::string mimeType;
  std::string backImageId;
  std::string backImageHash;
  std::string backMimeType;
  std::string firstName;
  std::string lastName;
  std::string nationality;
  std::int64_t gender = 0;
  std::string number;
  std::int64_t dateOfBirth = 0;
  std::int64_t dateOfIssue = 0;
  std::int64_t dateOfExpiry = 0;
  std::string issuingCountry;
  std::string issuingAuthority;
  std::string issuingPlace;
  std::string address;

  static Foundation::Result<DocumentItem, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

// One page of the user's documents; one bad item fails the whole page.
struct ZTDocumentsListResponse {
  static constexpr const char* swiftTypeName = "ZTDocumentsListResponse";

  std::int64_t total = 0;
  std::vector<DocumentItem> items;

  static Foundation::Result<ZTDocumentsListResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const DocumentItem& value);
void from_json(const nlohmann::json& json, DocumentItem& value);
void to_json(nlohmann::json& json, const ZTDocumentsListResponse& value);
void from_json(const nlohmann::json& json, ZTDocumentsListResponse& value);

}  // namespace ZentrelSDK
