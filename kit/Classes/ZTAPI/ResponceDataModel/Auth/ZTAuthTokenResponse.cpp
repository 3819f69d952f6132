#include "ZTAPI/ResponceDataModel/Auth/ZTAuthTokenResponse.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

ZT_RECORD_CODING(ZTAuthTokenResponse, ZTRecordField{"success", &ZTAuthTokenResponse::success},
                 ZTRecordField{"csrfToken", &ZTAuthTokenResponse::csrfToken},
                 ZTRecordField{"expiresIn", &ZTAuthTokenResponse::expiresIn},
                 ZTRecordField{"message", &ZTAuthTokenResponse::message})

}  // namespace ZentrelSDK
