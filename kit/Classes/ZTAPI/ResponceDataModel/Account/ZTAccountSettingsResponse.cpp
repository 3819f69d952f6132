#include "ZTAPI/ResponceDataModel/Account/ZTAccountSettingsResponse.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

ZT_RECORD_CODING(ZTAccountSettingsResponse,
                 ZTRecordField{"createdAt", &ZTAccountSettingsResponse::createdAt},
                 ZTRecordField{"updatedAt", &ZTAccountSettingsResponse::updatedAt},
                 ZTRecordField{"lastActiveAt", &ZTAccountSettingsResponse::lastActiveAt},
                 ZTRecordField{"id", &ZTAccountSettingsResponse::id},
                 ZTRecordField{"email", &ZTAccountSettingsResponse::email},
                 ZTRecordField{"emailConfirmed", &ZTAccountSettingsResponse::emailConfirmed},
                 ZTRecordField{"smsCodeEnabled", &ZTAccountSettingsResponse::smsCodeEnabled},
                 ZTRecordField{"country", &ZTAccountSettingsResponse::country},
                 ZTRecordField{"otpEnabled", &ZTAccountSettingsResponse::otpEnabled},
                 ZTRecordField{"disabled", &ZTAccountSettingsResponse::disabled},
                 ZTRecordField{"fiatCurrency", &ZTAccountSettingsResponse::fiatCurrency},
                 ZTRecordField{"lastActiveAccount", &ZTAccountSettingsResponse::lastActiveAccount})

}  // namespace ZentrelSDK
