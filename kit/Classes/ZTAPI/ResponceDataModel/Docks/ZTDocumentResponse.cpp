#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentResponse.hpp"

#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentDetailFields.hpp"

namespace ZentrelSDK {

ZT_RECORD_CODING(ZTDocumentResponse, documentDetailFields<ZTDocumentResponse>())

}  // namespace ZentrelSDK
