#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// The answer to deleting a document. `success` is handed on unread.
struct ZTDocumentDeleteResponse {
  static constexpr const char* swiftTypeName = "ZTDocumentDeleteResponse";

  bool success = false;
  std::string message;

  static Foundation::Result<ZTDocumentDeleteResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const ZTDocumentDeleteResponse& value);
void from_json(const nlohmann::json& json, ZTDocumentDeleteResponse& value);

}  // namespace ZentrelSDK
