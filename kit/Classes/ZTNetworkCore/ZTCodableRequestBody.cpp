#include "ZTNetworkCore/ZTCodableRequestBody.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

namespace {

using Create = CreateDocumentBody;
const auto kCreateFields = std::tuple{
    ZTRecordField{"type", &Create::type},
    ZTRecordField{"areaType", &Create::areaType},
    ZTRecordField{"description", &Create::description},
};

}  // namespace

std::string GetDocumentsBody::query() const {
  // Status texts are letters only: nothing to escape.
  std::string text = "?limit=" + std::to_string(limit) + "&offset=" + std::to_string(offset);
  for (const auto item : status.value_or(std::vector<ZTPublicConstants::DocumentStatusType>{}))
    text += "&status=" + rawValue(item);
  return text;
}

ZT_RECORD_CODING(GetDocumentsBody, ZTRecordField{"limit", &GetDocumentsBody::limit},
                 ZTRecordField{"offset", &GetDocumentsBody::offset},
                 ZTRecordField{"status", &GetDocumentsBody::status})

CreateDocumentBody::CreateDocumentBody(ZTPublicConstants::DocumentType dockType,
                                       ZTPublicConstants::AreaType areaType,
                                       std::string description)
    : type(rawValue(dockType)), areaType(rawValue(areaType)), description(std::move(description)) {}

nlohmann::ordered_json CreateDocumentBody::orderedJSON() const {
  nlohmann::ordered_json json;
  encodeRecord(json, *this, kCreateFields);
  return json;
}

ZT_RECORD_CODING(CreateDocumentBody, kCreateFields)

}  // namespace ZentrelSDK
