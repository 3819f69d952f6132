#include "ZTAPI/ResponceDataModel/User/ZTUserScopesResponse.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

ZT_RECORD_CODING(ZTUserScopesResponse, ZTRecordField{"scopes", &ZTUserScopesResponse::scopes})

}  // namespace ZentrelSDK
