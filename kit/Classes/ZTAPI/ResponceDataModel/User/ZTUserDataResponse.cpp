#include "ZTAPI/ResponceDataModel/User/ZTUserDataResponse.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

ZT_RECORD_CODING(Phone, ZTRecordField{"id", &Phone::id},
                 ZTRecordField{"createdAt", &Phone::createdAt},
                 ZTRecordField{"status", &Phone::status}, ZTRecordField{"country", &Phone::country},
                 ZTRecordField{"number", &Phone::number}, ZTRecordField{"main", &Phone::main})

ZT_RECORD_CODING(ZTUserDataResponse, ZTRecordField{"id", &ZTUserDataResponse::id},
                 ZTRecordField{"email", &ZTUserDataResponse::email},
                 ZTRecordField{"phones", &ZTUserDataResponse::phones})

}  // namespace ZentrelSDK
