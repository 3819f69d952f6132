#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"
#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentResponse.hpp"
#include "ZTAPI/ResponceDataModel/ZTAddressFields.hpp"

namespace ZentrelSDK {

namespace {
using E = ZTPublicDocumentElement;
using R = ZTPublicDocumentResponse;
}  // namespace

ZT_RECORD_CODING(E, ZTRecordField{"id", &E::id}, ZTRecordField{"createdAt", &E::createdAt},
                 ZTRecordField{"status", &E::status},
                 ZTRecordField{"documentType", &E::documentType})

ZT_RECORD_CODING(R, std::tuple_cat(std::tuple{ZTRecordField{"id", &R::id},
                                              ZTRecordField{"createdAt", &R::createdAt},
                                              ZTRecordField{"documentType", &R::documentType},
                                              ZTRecordField{"areaType", &R::areaType}},
                                   addressFields<R>()))

}  // namespace ZentrelSDK
