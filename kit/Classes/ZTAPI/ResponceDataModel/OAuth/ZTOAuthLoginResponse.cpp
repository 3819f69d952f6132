#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthLoginResponse.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

ZT_RECORD_CODING(ZTOAuthLoginResponse, ZTRecordField{"skip", &ZTOAuthLoginResponse::skip},
                 ZTRecordField{"email", &ZTOAuthLoginResponse::email},
                 ZTRecordField{"redirect", &ZTOAuthLoginResponse::redirect})

}  // namespace ZentrelSDK
