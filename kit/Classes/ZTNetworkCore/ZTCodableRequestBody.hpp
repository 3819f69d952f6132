#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/JSONCoding.hpp>
#include <Foundation/Result.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// The body of a call that sends nothing, and the answer of a call whose answer is ignored:
// the network core sends no body or query for it, and a 200 yields it without reading bytes.
struct EmptyBody {
  static constexpr const char* swiftTypeName = "EmptyBody";

  bool success = true;

  static Foundation::Result<EmptyBody, Foundation::DecodingError> decode(const nlohmann::json& j) {
    Foundation::KeyedDecodingContainer c(j);
    EmptyBody body;
    c.decode("success", body.success);
    return c.finish(body);
  }

  bool operator==(const EmptyBody&) const = default;
};

inline void to_json(nlohmann::json& j, const EmptyBody& body) {
  j = nlohmann::json{{"success", body.success}};
}
inline void from_json(const nlohmann::json& j, EmptyBody& body) {
  detail::decodeOrThrow(j, body);
}

// Paging and an optional status filter of the two documents list reads.
struct GetDocumentsBody {
  static constexpr const char* swiftTypeName = "GetDocumentsBody";

  std::int64_t limit = 0;
  std::int64_t offset = 0;
  std::optional<std::vector<ZTPublicConstants::DocumentStatusType>> status;

  // "?limit=<n>&offset=<n>", then "&status=<text>" for each status of the filter. The network
  // core's query builder drops lists, so the documents client sends this query itself.
  std::string query() const;

  static Foundation::Result<GetDocumentsBody, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

// A new document: the texts of its type and area, and its description. Sent as a JSON body
// with the keys exactly as named here (no key conversion).
struct CreateDocumentBody {
  static constexpr const char* swiftTypeName = "CreateDocumentBody";

  std::string type;
  std::string areaType;
  std::string description;

  CreateDocumentBody() = default;
  CreateDocumentBody(ZTPublicConstants::DocumentType dockType, ZTPublicConstants::AreaType areaType,
                     std::string description);

  // The JSON form with the keys in declaration order, as it travels.
  nlohmann::ordered_json orderedJSON() const;

  static Foundation::Result<CreateDocumentBody, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const GetDocumentsBody& body);
void from_json(const nlohmann::json& json, GetDocumentsBody& body);
void to_json(nlohmann::json& json, const CreateDocumentBody& body);
void from_json(const nlohmann::json& json, CreateDocumentBody& body);

}  // namespace ZentrelSDK
