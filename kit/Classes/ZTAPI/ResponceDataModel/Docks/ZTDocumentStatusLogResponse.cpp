#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentStatusLogResponse.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

namespace {
using R = ZTDocumentStatusLogResponseElement;
}  // namespace

ZT_RECORD_CODING(R, ZTRecordField{"reviewer", &R::reviewer}, ZTRecordField{"status", &R::status},
                 ZTRecordField{"createdAt", &R::createdAt}, ZTRecordField{"message", &R::message})

}  // namespace ZentrelSDK
