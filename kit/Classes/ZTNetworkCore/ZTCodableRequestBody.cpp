#include "ZTNetworkCore/ZTCodableRequestBody.hpp"

namespace ZentrelSDK {

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
  Foundation::KeyedDecodingContainer container(json);
  CreateDocumentBody body;
  container.decode("type", body.type);
  container.decode("areaType", body.areaType);
  container.decode("description", body.description);
  return container.finish(std::move(body));
}

void to_json(nlohmann::json& json, const CreateDocumentBody& body) {
  json = nlohmann::json{
      {"type", body.type}, {"areaType", body.areaType}, {"description", body.description}};
}
void from_json(const nlohmann::json& json, CreateDocumentBody& body) {
  detail::decodeOrThrow(json, body);
}

}  // namespace ZentrelSDK
