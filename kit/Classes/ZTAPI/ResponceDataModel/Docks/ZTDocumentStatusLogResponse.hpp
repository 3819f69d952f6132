#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// One entry of a document's status history. `status` is free text, not a document status.
struct ZTDocumentStatusLogResponseElement {
  static constexpr const char* swiftTypeName = "ZTDocumentStatusLogResponseElement";

  std::string reviewer;
  std::string status;
  std::int64_t createdAt = 0;
  std::string message;

  static Foundation::Result<ZTDocumentStatusLogResponseElement, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

// The whole answer: the entries in the server's order.
using ZTDocumentStatusLogResponse = std::vector<ZTDocumentStatusLogResponseElement>;

void to_json(nlohmann::json& json, const ZTDocumentStatusLogResponseElement& value);
void from_json(const nlohmann::json& json, ZTDocumentStatusLogResponseElement& value);

}  // namespace ZentrelSDK
