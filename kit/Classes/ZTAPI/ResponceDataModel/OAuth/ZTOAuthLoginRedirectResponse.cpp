#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthLoginRedirectResponse.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

ZT_RECORD_CODING(ZTOAuthLoginRedirectResponse,
                 ZTRecordField{"redirect", &ZTOAuthLoginRedirectResponse::redirect})

}  // namespace ZentrelSDK
