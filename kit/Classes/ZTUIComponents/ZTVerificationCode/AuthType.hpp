#pragma once

#include <optional>

#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

// The channel through which the user receives the six-digit code.
enum class AuthType {
  unknown,  // not decided yet
  email,
  otp,  // read from the user's authenticator app: nothing is sent, no resend
  sms,
};

// The challenge type a token request names for the channel; none while it is unknown, and
// then no token request may be sent.
std::optional<ZTConstants::ChallengeType> getChallengeType(AuthType type);

}  // namespace ZentrelSDK
