#include "ZTAPI/ResponceDataModel/Auth/ZTSendCodeResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

Foundation::Result<ZTSendCodeResponse, Foundation::DecodingError> ZTSendCodeResponse::decode(
    const nlohmann::json& json) {
  Foundation::KeyedDecodingContainer container(json);
  ZTSendCodeResponse value;
  container.decodeIfPresent("timeout", value.timeout);
  return container.finish(std::move(value));
}

void to_json(nlohmann::json& json, const ZTSendCodeResponse& value) {
  json = nlohmann::json::object();
  if (value.timeout) json["timeout"] = *value.timeout;
}

void from_json(const nlohmann::json& json, ZTSendCodeResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
