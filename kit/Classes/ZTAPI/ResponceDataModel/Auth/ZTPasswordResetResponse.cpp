#include "ZTAPI/ResponceDataModel/Auth/ZTPasswordResetResponse.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

ZT_RECORD_CODING(ZTPasswordResetResponse,
                 ZTRecordField{"timeout", &ZTPasswordResetResponse::timeout})

}  // namespace ZentrelSDK
