#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// The answer to creating a document; `message` is the new document's id. `success` is handed on
// unread.
struct ZTDocumentCreateResponse {
  static constexpr const char* swiftTypeName = "ZTDocumentCreateResponse";

  bool success = false;
  std::string message;

  static Foundation::Result<ZTDocumentCreateResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const ZTDocumentCreateResponse& value);
void from_json(const nlohmann::json& json, ZTDocumentCreateResponse& value);

}  // namespace ZentrelSDK
