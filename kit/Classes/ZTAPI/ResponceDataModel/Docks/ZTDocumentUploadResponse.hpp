#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// The answer to uploading one side's image. `success` is handed on unread.
struct ZTDocumentUploadResponse {
  static constexpr const char* swiftTypeName = "ZTDocumentUploadResponse";

  bool success = false;
  std::string message;

  static Foundation::Result<ZTDocumentUploadResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const ZTDocumentUploadResponse& value);
void from_json(const nlohmann::json& json, ZTDocumentUploadResponse& value);

}  // namespace ZentrelSDK
