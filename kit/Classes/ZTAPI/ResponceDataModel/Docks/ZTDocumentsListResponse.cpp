#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentsListResponse.hpp"

#include "ZTAPI/ResponceDataModel/ZTRecordFields.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

namespace {

using R = DocumentItem;
template <class M>
using F = ZTRecordField<R, M>;
using S = std::string;
using I = std::int64_t;

const auto kItemFields = std::tuple{
    F<S>{"id", &R::id},
    F<I>{"createdAt", &R::createdAt},
    F<ZTPublicConstants::DocumentStatusType>{"status", &R::status},
    F<ZTPublicConstants::DocumentType>{"documentType", &R::documentType},
    F<ZTPublicConstants::AreaType>{"areaType", &R::areaType},
    F<S>{"description", &R::description},
    F<S>{"imageId", &R::imageId},
    F<S>{"imageHash", &R::imageHash},
    F<S>{"mimeType", &R::mimeType},
    F<S>{"backImageId", &R::backImageId},
    F<S>{"backImageHash", &R::backImageHash},
    F<S>{"backMimeType", &R::backMimeType},
    F<S>{"firstName", &R::firstName},
    F<S>{"lastName", &R::lastName},
    F<S>{"nationality", &R::nationality},
    F<I>{"gender", &R::gender},
    F<S>{"number", &R::number},
    F<I>{"dateOfBirth", &R::dateOfBirth},
    F<I>{"dateOfIssue", &R::dateOfIssue},
    F<I>{"dateOfExpiry", &R::dateOfExpiry},
    F<S>{"issuingCountry", &R::issuingCountry},
    F<S>{"issuingAuthority", &R::issuingAuthority},
    F<S>{"issuingPlace", &R::issuingPlace},
    F<S>{"address", &R::address},
};

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
