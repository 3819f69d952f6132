#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// One document of the host-facing documents list (API server). Every field is required.
struct ZTPublicDocumentElement {
  static constexpr const char* swiftTypeName = "ZTPublicDocumentElement";

  std::string id;
  std::int64_t createdAt = 0;
  ZTPublicConstants::DocumentStatusType status{};
  ZTPublicConstants::DocumentType documentType{};

  ZTPublicDocumentElement() = default;
  ZTPublicDocumentElement(std::string id, std::int64_t createdAt,
                          ZTPublicConstants::DocumentStatusType status,
                          ZTPublicConstants::DocumentType documentType)
      : id(std::move(id)), createdAt(createdAt), status(status), documentType(documentType) {}

  static Foundation::Result<ZTPublicDocumentElement, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const ZTPublicDocumentElement& value);
void from_json(const nlohmann::json& json, ZTPublicDocumentElement& value);

}  // namespace ZentrelSDK
