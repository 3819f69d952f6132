#include "ZTAPI/ResponceDataModel/Auth/ZTPasswordCheckResponse.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

ZT_RECORD_CODING(ZTPasswordCheckResponse, ZTRecordField{"email", &ZTPasswordCheckResponse::email},
                 ZTRecordField{"hasPassword", &ZTPasswordCheckResponse::hasPassword})

}  // namespace ZentrelSDK
