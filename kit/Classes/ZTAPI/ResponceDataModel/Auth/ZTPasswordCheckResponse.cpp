#include "ZTAPI/ResponceDataModel/Auth/ZTPasswordCheckResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

Foundation::Result<ZTPasswordCheckResponse, Foundation::DecodingError>
ZTPasswordCheckResponse::decode(const nlohmann::json& json) {
  Foundation::KeyedDecodingContainer container(json);
  ZTPasswordCheckResponse value;
  container.decodeIfPresent("email", value.email);
  container.decodeIfPresent("hasPassword", value.hasPassword);
  return container.finish(std::move(value));
}

void to_json(nlohmann::json& json, const ZTPasswordCheckResponse& value) {
  json = nlohmann::json::object();
  if (value.email) json["email"] = *value.email;
  if (value.hasPassword) json["hasPassword"] = *value.hasPassword;
}

void from_json(const nlohmann::json& json, ZTPasswordCheckResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
