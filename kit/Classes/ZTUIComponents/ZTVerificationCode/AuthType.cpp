#include "ZTUIComponents/ZTVerificationCode/AuthType.hpp"

namespace ZentrelSDK {

std::optional<ZTConstants::ChallengeType> getChallengeType(AuthType type) {
  switch (type) {
    case AuthType::email:
      return ZTConstants::ChallengeType::emailLink;
    case AuthType::otp:
      return ZTConstants::ChallengeType::otp;
    case AuthType::sms:
      return ZTConstants::ChallengeType::sms;
    case AuthType::unknown:
      break;
  }
  return std::nullopt;
}

}  // namespace ZentrelSDK
