#include "ZTAPI/ResponceDataModel/Auth/ZTSendCodeResponse.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

ZT_RECORD_CODING(ZTSendCodeResponse, ZTRecordField{"timeout", &ZTSendCodeResponse::timeout})

}  // namespace ZentrelSDK
