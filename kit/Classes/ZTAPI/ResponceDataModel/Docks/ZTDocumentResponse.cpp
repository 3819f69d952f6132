#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentResponse.hpp"

#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentDetailFields.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

namespace {

const auto kFields = documentDetailFields<ZTDocumentResponse>();

}  // namespace

Foundation::Result<ZTDocumentResponse, Foundation::DecodingError> ZTDocumentResponse::decode(
    const nlohmann::json& json) {
  return decodeRecord(json, kFields);
}

void to_json(nlohmann::json& json, const ZTDocumentResponse& value) {
  encodeRecord(json, value, kFields);
}

void from_json(const nlohmann::json& json, ZTDocumentResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
