#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentStatusUploadedResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTNetworkCore/ZTRecordFields.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

namespace {

using Sides = F1F80C7A57C742598E80D1Bb09932E82;

const auto kSideFields = std::tuple{ZTRecordField<Back, std::string>{"status", &Back::status},
                                    ZTRecordField<Back, std::string>{"message", &Back::message}};
const auto kSidesFields = std::tuple{ZTRecordField<Sides, Back>{"front", &Sides::front},
                                     ZTRecordField<Sides, Back>{"back", &Sides::back}};

}  // namespace

Foundation::Result<Back, Foundation::DecodingError> Back::decode(const nlohmann::json& json) {
  return decodeRecord(json, kSideFields);
}

Foundation::Result<Sides, Foundation::DecodingError> Sides::decode(const nlohmann::json& json) {
  return decodeRecord(json, kSidesFields);
}

Foundation::Result<ZTDocumentStatusUploadedResponse, Foundation::DecodingError>
ZTDocumentStatusUploadedResponse::decode(const nlohmann::json& json) {
  auto documents = Foundation::decodeValue<std::map<std::string, Sides>>(json);
  if (documents.isFailure()) return Foundation::failure(std::move(documents).error());
  return Foundation::success(ZTDocumentStatusUploadedResponse{std::move(documents).value()});
}

void to_json(nlohmann::json& json, const Back& value) {
  encodeRecord(json, value, kSideFields);
}
void from_json(const nlohmann::json& json, Back& value) {
  detail::decodeOrThrow(json, value);
}
void to_json(nlohmann::json& json, const Sides& value) {
  encodeRecord(json, value, kSidesFields);
}
void from_json(const nlohmann::json& json, Sides& value) {
  detail::decodeOrThrow(json, value);
}
void to_json(nlohmann::json& json, const ZTDocumentStatusUploadedResponse& value) {
  json = nlohmann::json::object();
  for (const auto& [id, sides] : value.documents) json[id] = sides;
}
void from_json(const nlohmann::json& json, ZTDocumentStatusUploadedResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
