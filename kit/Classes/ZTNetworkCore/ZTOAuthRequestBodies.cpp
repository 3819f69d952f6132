#include "ZTNetworkCore/ZTOAuthRequestBodies.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

ZT_RECORD_CODING(OAuthRequestBodyAuth, ZTRecordField{"client_id", &OAuthRequestBodyAuth::client_id},
                 ZTRecordField{"state", &OAuthRequestBodyAuth::state},
                 ZTRecordField{"response_type", &OAuthRequestBodyAuth::response_type},
                 ZTRecordField{"code_challenge", &OAuthRequestBodyAuth::code_challenge},
                 ZTRecordField{"code_challenge_method",
                               &OAuthRequestBodyAuth::code_challenge_method})

ZT_RECORD_CODING(OAuthRequestBodyGetLogin,
                 ZTRecordField{"challenge", &OAuthRequestBodyGetLogin::challenge})

ZT_RECORD_CODING(OAuthRequestBodyPostLogin, ZTRecordField{"code", &OAuthRequestBodyPostLogin::code},
                 ZTRecordField{"challenge", &OAuthRequestBodyPostLogin::challenge})

ZT_RECORD_CODING(OAuthRequestBodyConsent,
                 ZTRecordField{"challenge", &OAuthRequestBodyConsent::challenge},
                 ZTRecordField{"grantScopes", &OAuthRequestBodyConsent::grantScopes})

ZT_RECORD_CODING(OAuthRequestBodyToken, ZTRecordField{"code", &OAuthRequestBodyToken::code},
                 ZTRecordField{"client_id", &OAuthRequestBodyToken::client_id},
                 ZTRecordField{"grant_type", &OAuthRequestBodyToken::grant_type},
                 ZTRecordField{"code_verifier", &OAuthRequestBodyToken::code_verifier})

}  // namespace ZentrelSDK
