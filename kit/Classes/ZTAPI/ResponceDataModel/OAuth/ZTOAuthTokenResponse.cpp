#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthTokenResponse.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

ZT_RECORD_CODING(ZTOAuthTokenResponse,
                 ZTRecordField{"refreshToken", &ZTOAuthTokenResponse::refreshToken},
                 ZTRecordField{"expiresIn", &ZTOAuthTokenResponse::expiresIn},
                 ZTRecordField{"accessToken", &ZTOAuthTokenResponse::accessToken},
                 ZTRecordField{"scope", &ZTOAuthTokenResponse::scope},
                 ZTRecordField{"tokenType", &ZTOAuthTokenResponse::tokenType})

}  // namespace ZentrelSDK
