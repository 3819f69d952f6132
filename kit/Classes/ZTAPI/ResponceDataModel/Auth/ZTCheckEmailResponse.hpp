#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

// The challenge the identity server poses for an address: it decides how the code is sent.
struct Challenge {
  static constexpr const char* swiftTypeName = "Challenge";

  ZTConstants::ChallengeType challengeType = ZTConstants::ChallengeType::emailLink;

  // Only the four texts of ChallengeType, letter case as written.
  static Foundation::Result<Challenge, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

// Answer to the e-mail check.
struct ZTCheckEmailResponse {
  static constexpr const char* swiftTypeName = "ZTCheckEmailResponse";

  bool success = false;
  std::optional<std::string> message{};  // read only when success is false
  std::optional<Challenge> challenge{};  // absent: the delivery channel stays as it was

  static Foundation::Result<ZTCheckEmailResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const Challenge& value);
void to_json(nlohmann::json& json, const ZTCheckEmailResponse& value);
void from_json(const nlohmann::json& json, Challenge& value);
void from_json(const nlohmann::json& json, ZTCheckEmailResponse& value);

}  // namespace ZentrelSDK
