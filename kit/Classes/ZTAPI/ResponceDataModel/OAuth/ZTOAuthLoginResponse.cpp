#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthLoginResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

Foundation::Result<ZTOAuthLoginResponse, Foundation::DecodingError> ZTOAuthLoginResponse::decode(
    const nlohmann::json& json) {
  Foundation::KeyedDecodingContainer container(json);
  ZTOAuthLoginResponse value;
  container.decode("skip", value.skip);
  container.decode("email", value.email);
  container.decodeIfPresent("redirect", value.redirect);
  return container.finish(std::move(value));
}

void to_json(nlohmann::json& json, const ZTOAuthLoginResponse& value) {
  json = nlohmann::json{{"skip", value.skip}, {"email", value.email}};
  if (value.redirect) json["redirect"] = *value.redirect;
}

void from_json(const nlohmann::json& json, ZTOAuthLoginResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
