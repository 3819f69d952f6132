#include "ZTAPI/ResponceDataModel/Auth/ZTCheckEmailResponse.hpp"

#include "ZTNetworkCore/ZTRecordFields.hpp"

namespace ZentrelSDK {

template <>
struct ZTTextEnumName<ZTConstants::ChallengeType> {
  static constexpr const char* name = "ChallengeType";
};

ZT_RECORD_CODING(Challenge, ZTRecordField{"challengeType", &Challenge::challengeType})

ZT_RECORD_CODING(ZTCheckEmailResponse, ZTRecordField{"success", &ZTCheckEmailResponse::success},
                 ZTRecordField{"message", &ZTCheckEmailResponse::message},
                 ZTRecordField{"challenge", &ZTCheckEmailResponse::challenge})

}  // namespace ZentrelSDK
