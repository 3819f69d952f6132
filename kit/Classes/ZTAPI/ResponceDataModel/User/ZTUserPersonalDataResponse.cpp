#include "ZTAPI/ResponceDataModel/User/ZTUserPersonalDataResponse.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

ZT_RECORD_CODING(ZTUserPersonalDataResponse, ZTRecordField{"id", &ZTUserPersonalDataResponse::id},
                 ZTRecordField{"firstName", &ZTUserPersonalDataResponse::firstName},
                 ZTRecordField{"lastName", &ZTUserPersonalDataResponse::lastName},
                 ZTRecordField{"dateOfBirth", &ZTUserPersonalDataResponse::dateOfBirth})

}  // namespace ZentrelSDK
