#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthConsentRedirectResponse.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

ZT_RECORD_CODING(ZTOAuthConsentRedirectResponse,
                 ZTRecordField{"redirect", &ZTOAuthConsentRedirectResponse::redirect})

}  // namespace ZentrelSDK
