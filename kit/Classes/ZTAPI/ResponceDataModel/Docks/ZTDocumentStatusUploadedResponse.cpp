#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentStatusUploadedResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"
#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

namespace {
using Sides = F1F80C7A57C742598E80D1Bb09932E82;
}  // namespace

ZT_RECORD_CODING(Back, ZTRecordField{"status", &Back::status},
                 ZTRecordField{"message", &Back::message})
ZT_RECORD_CODING(Sides, ZTRecordField{"front", &Sides::front}, ZTRecordField{"back", &Sides::back})

Foundation::Result<ZTDocumentStatusUploadedResponse, Foundation::DecodingError>
ZTDocumentStatusUploadedResponse::decode(const nlohmann::json& json) {
  auto documents = Foundation::decodeValue<std::map<std::string, Sides>>(json);
  if (documents.isFailure()) return Foundation::failure(std::move(documents).error());
  return Foundation::success(ZTDocumentStatusUploadedResponse{std::move(documents).value()});
}

void to_json(nlohmann::json& json, const ZTDocumentStatusUploadedResponse& value) {
  json = nlohmann::json::object();
  for (const auto& [id, sides] : value.documents) json[id] = sides;
}
void from_json(const nlohmann::json& json, ZTDocumentStatusUploadedResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
