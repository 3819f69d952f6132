#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentsListResponse.hpp"

#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentDetailFields.hpp"

namespace ZentrelSDK {

// The detail's fields, then the three only a list element has.
ZT_RECORD_CODING(DocumentItem,
                 std::tuple_cat(documentDetailFields<DocumentItem>(),
                                std::tuple{ZTRecordField{"areaType", &DocumentItem::areaType},
                                           ZTRecordField{"nationality", &DocumentItem::nationality},
                                           ZTRecordField{"gender", &DocumentItem::gender}}))

ZT_RECORD_CODING(ZTDocumentsListResponse, ZTRecordField{"total", &ZTDocumentsListResponse::total},
                 ZTRecordField{"items", &ZTDocumentsListResponse::items})

}  // namespace ZentrelSDK
