#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentsListResponse.hpp"

#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentDetailFields.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

namespace {

using R = DocumentItem;
using I = std::int64_t;

// The detail's fields, then the three only a list element has.
const auto kItemFields = std::tuple_cat(
    documentDetailFields<R>(),
    std::tuple{ZTRecordField<R, ZTPublicConstants::AreaType>{"areaType", &R::areaType},
               ZTRecordField<R, std::string>{"nationality", &R::nationality},
               ZTRecordField<R, I>{"gender", &R::gender}});

const auto kListFields =
    std::tuple{ZTRecordField<ZTDocumentsListResponse, I>{"total", &ZTDocumentsListResponse::total},
               ZTRecordField<ZTDocumentsListResponse, std::vector<DocumentItem>>{
                   "items", &ZTDocumentsListResponse::items}};

}  // namespace

Foundation::Result<DocumentItem, Foundation::DecodingError> DocumentItem::decode(
    const nlohmann::json& json) {
  return decodeRecord(json, kItemFields);
}

Foundation::Result<ZTDocumentsListResponse, Foundation::DecodingError>
ZTDocumentsListResponse::decode(const nlohmann::json& json) {
  return decodeRecord(json, kListFields);
}

void to_json(nlohmann::json& json, const DocumentItem& value) {
  encodeRecord(json, value, kItemFields);
}
void from_json(const nlohmann::json& json, DocumentItem& value) {
  detail::decodeOrThrow(json, value);
}
void to_json(nlohmann::json& json, const ZTDocumentsListResponse& value) {
  encodeRecord(json, value, kListFields);
}
void from_json(const nlohmann::json& json, ZTDocumentsListResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
