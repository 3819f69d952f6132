#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthConsentResponse.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

ZT_RECORD_CODING(ZTOAuthConsentResponse,
                 ZTRecordField{"requested_scope", &ZTOAuthConsentResponse::requested_scope},
                 ZTRecordField{"skip", &ZTOAuthConsentResponse::skip},
                 ZTRecordField{"redirect_url", &ZTOAuthConsentResponse::redirect_url},
                 ZTRecordField{"urlWhileSkipping", &ZTOAuthConsentResponse::urlWhileSkipping})

}  // namespace ZentrelSDK
