#include "ZTNetworkCore/ZTCodableRequestBody.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

namespace {

using Create = CreateDocumentBody;
const auto kCreateFields =
    std::tuple{ZTRecordField<Create, std::string>{"type", &Create::type},
               ZTRecordField<Create, std::string>{"areaType", &Create::areaType},
               ZTRecordField<Create, std::string>{"description", &Create::description}};

}  // namespace

std::string GetDocumentsBody::query() const {
  // Status texts are letters only: nothing to escape.
  std::string text = "?limit=" + std::to_string(limit) + "&offset=" + std::to_string(offset);
  for (const auto item : status.value_or(std::vector<ZTPublicConstants::DocumentStatusType>{}))
    text += "&status=" + rawValue(item);
  return text;
}

Foundation::Result<GetDocumentsBody, Foundation::DecodingError> GetDocumentsBody::decode(
    const nlohmann::json& json) {
  Foundation::KeyedDecodingContainer container(json);
  GetDocumentsBody body;
  container.decode("limit", body.limit);
  container.decode("offset", body.offset);
  container.decodeIfPresent("status", body.status);
  return container.finish(std::move(body));
}

void to_json(nlohmann::json& json, const GetDocumentsBody& body) {
  json = nlohmann::json{{"limit", body.limit}, {"offset", body.offset}};
  if (body.status) json["status"] = *body.status;
}
void from_json(const nlohmann::json& json, GetDocumentsBody& body) {
  detail::decodeOrThrow(json, body);
}

CreateDocumentBody::CreateDocumentBody(ZTPublicConstants::DocumentType dockType,
                                       ZTPublicConstants::AreaType areaType,
                                       std::string description)
    : type(rawValue(dockType)), areaType(rawValue(areaType)), description(std::move(description)) {}

nlohmann::ordered_json CreateDocumentBody::orderedJSON() const {
  nlohmann::ordered_json json;
  json["type"] = type;
  json["areaType"] = areaType;
  json["description"] = description;
  return json;
}

Foundation::Result<CreateDocumentBody, Foundation::DecodingError> CreateDocumentBody::decode(
    const nlohmann::json& json) {
  return decodeRecord(json, kCreateFields);
}

void to_json(nlohmann::json& json, const CreateDocumentBody& body) {
  encodeRecord(json, body, kCreateFields);
}
void from_json(const nlohmann::json& json, CreateDocumentBody& body) {
  detail::decodeOrThrow(json, body);
}

}  // namespace ZentrelSDK
