#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentResponse.hpp"

#include "ZTAPI/ResponceDataModel/ZTRecordFields.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

namespace {

using R = ZTDocumentResponse;
template <class M>
using F = ZTRecordField<R, M>;
using S = std::string;
using I = std::int64_t;

const auto kFields = std::tuple{
    F<S>{"id", &R::id},
    F<I>{"createdAt", &R::createdAt},
    F<ZTPublicConstants::DocumentStatusType>{"status", &R::status},
    F<ZTPublicConstants::DocumentType>{"documentType", &R::documentType},
    F<S>{"description", &R::description},
    F<S>{"imageId", &R::imageId},
    F<S>{"imageHash", &R::imageHash},
    F<S>{"mimeType", &R::mimeType},
    F<S>{"backImageId", &R::backImageId},
    F<S>{"backImageHash", &R::backImageHash},
    F<S>{"backMimeType", &R::backMimeType},
    F<S>{"firstName", &R::firstName},
    F<S>{"lastName", &R::lastName},
    F<S>{"number", &R::number},
    F<I>{"dateOfBirth", &R::dateOfBirth},
    F<I>{"dateOfIssue", &R::dateOfIssue},
    F<I>{"dateOfExpiry", &R::dateOfExpiry},
    F<S>{"issuingCountry", &R::issuingCountry},
    F<S>{"issuingAuthority", &R::issuingAuthority},
    F<S>{"issuingPlace", &R::issuingPlace},
    F<S>{"address", &R::address},
};

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
