#include "ZTAPI/ResponceDataModel/User/ZTUserAccountsActiveResponse.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

ZT_RECORD_CODING(ZTUserAccountsActiveResponse,
                 ZTRecordField{"address", &ZTUserAccountsActiveResponse::address})

}  // namespace ZentrelSDK
