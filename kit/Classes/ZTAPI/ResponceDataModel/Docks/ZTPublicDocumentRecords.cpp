#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"
#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentResponse.hpp"
#include "ZTNetworkCore/ZTRecordFields.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

namespace {

using E = ZTPublicDocumentElement;
using R = ZTPublicDocumentResponse;
using S = std::string;
using I = std::int64_t;
using Type = ZTPublicConstants::DocumentType;

const auto kElementFields = std::tuple{
    ZTRecordField<E, S>{"id", &E::id},
    ZTRecordField<E, I>{"createdAt", &E::createdAt},
    ZTRecordField<E, ZTPublicConstants::DocumentStatusType>{"status", &E::status},
    ZTRecordField<E, Type>{"documentType", &E::documentType},
};

const auto kResponseFields = std::tuple{
    ZTRecordField<R, S>{"id", &R::id},
    ZTRecordField<R, I>{"createdAt", &R::createdAt},
    ZTRecordField<R, Type>{"documentType", &R::documentType},
    ZTRecordField<R, ZTPublicConstants::AreaType>{"areaType", &R::areaType},
    ZTRecordField<R, S>{"apartmentNumber", &R::apartmentNumber},
    ZTRecordField<R, S>{"streetNumber", &R::streetNumber},
    ZTRecordField<R, S>{"street", &R::street},
    ZTRecordField<R, S>{"city", &R::city},
    ZTRecordField<R, S>{"stateRegion", &R::stateRegion},
    ZTRecordField<R, S>{"country", &R::country},
    ZTRecordField<R, S>{"postalCode", &R::postalCode},
    ZTRecordField<R, I>{"lat", &R::lat},
    ZTRecordField<R, I>{"lng", &R::lng},
};

}  // namespace

Foundation::Result<E, Foundation::DecodingError> E::decode(const nlohmann::json& json) {
  return decodeRecord(json, kElementFields);
}
void to_json(nlohmann::json& json, const E& value) {
  encodeRecord(json, value, kElementFields);
}
void from_json(const nlohmann::json& json, E& value) {
  detail::decodeOrThrow(json, value);
}

Foundation::Result<R, Foundation::DecodingError> R::decode(const nlohmann::json& json) {
  return decodeRecord(json, kResponseFields);
}
void to_json(nlohmann::json& json, const R& value) {
  encodeRecord(json, value, kResponseFields);
}
void from_json(const nlohmann::json& json, R& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
