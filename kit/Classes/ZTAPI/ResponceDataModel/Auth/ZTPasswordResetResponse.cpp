#include "ZTAPI/ResponceDataModel/Auth/ZTPasswordResetResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

Foundation::Result<ZTPasswordResetResponse, Foundation::DecodingError>
ZTPasswordResetResponse::decode(const nlohmann::json& json) {
  Foundation::KeyedDecodingContainer container(json);
  ZTPasswordResetResponse value;
  container.decodeIfPresent("timeout", value.timeout);
  return container.finish(std::move(value));
}

void to_json(nlohmann::json& json, const ZTPasswordResetResponse& value) {
  json = nlohmann::json::object();
  if (value.timeout) json["timeout"] = *value.timeout;
}

void from_json(const nlohmann::json& json, ZTPasswordResetResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
