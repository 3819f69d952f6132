#include "ZTAPI/ResponceDataModel/Auth/ZTCheckEmailResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

using Foundation::DecodingError;
using Foundation::KeyedDecodingContainer;
using Foundation::Result;

Result<Challenge, DecodingError> Challenge::decode(const nlohmann::json& json) {
  KeyedDecodingContainer container(json);
  std::string text;
  if (!container.decode("challengeType", text)) return Foundation::failure(*container.error());
  const auto type = fromRawValue<ZTConstants::ChallengeType>(text);
  if (!type) {
    return Foundation::failure(DecodingError::dataCorrupted(
        "Cannot initialize ChallengeType from invalid String value " + text, {"challengeType"}));
  }
  return Foundation::success(Challenge{*type});
}

Result<ZTCheckEmailResponse, DecodingError> ZTCheckEmailResponse::decode(
    const nlohmann::json& json) {
  KeyedDecodingContainer container(json);
  ZTCheckEmailResponse value;
  container.decode("success", value.success);
  container.decodeIfPresent("message", value.message);
  container.decodeIfPresent("challenge", value.challenge);
  return container.finish(std::move(value));
}

void to_json(nlohmann::json& json, const Challenge& value) {
  json = nlohmann::json{{"challengeType", rawValue(value.challengeType)}};
}

void to_json(nlohmann::json& json, const ZTCheckEmailResponse& value) {
  json = nlohmann::json{{"success", value.success}};
  if (value.message) json["message"] = *value.message;
  if (value.challenge) json["challenge"] = *value.challenge;
}

void from_json(const nlohmann::json& json, Challenge& value) {
  detail::decodeOrThrow(json, value);
}
void from_json(const nlohmann::json& json, ZTCheckEmailResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
