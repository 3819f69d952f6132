#include "ZTNetworkCore/ZTAuthRequestBodies.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

ZT_RECORD_CODING(EmailOnlyBody, ZTRecordField{"email", &EmailOnlyBody::email})

ZT_RECORD_CODING(AuthTokenBody, ZTRecordField{"challengeType", &AuthTokenBody::challengeType},
                 ZTRecordField{"email", &AuthTokenBody::email},
                 ZTRecordField{"password", &AuthTokenBody::password},
                 ZTRecordField{"code", &AuthTokenBody::code})

ZT_RECORD_CODING(SignUpBody, ZTRecordField{"email", &SignUpBody::email},
                 ZTRecordField{"password", &SignUpBody::password},
                 ZTRecordField{"code", &SignUpBody::code})

ZT_RECORD_CODING(ResetPasswordConfirmBody,
                 ZTRecordField{"newPassword", &ResetPasswordConfirmBody::newPassword},
                 ZTRecordField{"passwordResetToken", &ResetPasswordConfirmBody::passwordResetToken})

ZT_RECORD_CODING(CodeOnlyBody, ZTRecordField{"code", &CodeOnlyBody::code})

}  // namespace ZentrelSDK
