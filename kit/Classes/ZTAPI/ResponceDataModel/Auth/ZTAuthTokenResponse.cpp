#include "ZTAPI/ResponceDataModel/Auth/ZTAuthTokenResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

Foundation::Result<ZTAuthTokenResponse, Foundation::DecodingError> ZTAuthTokenResponse::decode(
    const nlohmann::json& json) {
  Foundation::KeyedDecodingContainer container(json);
  ZTAuthTokenResponse value;
  container.decode("success", value.success);
  container.decodeIfPresent("csrfToken", value.csrfToken);
  container.decodeIfPresent("expiresIn", value.expiresIn);
  container.decodeIfPresent("message", value.message);
  return container.finish(std::move(value));
}

void to_json(nlohmann::json& json, const ZTAuthTokenResponse& value) {
  json = nlohmann::json{{"success", value.success}};
  if (value.csrfToken) json["csrfToken"] = *value.csrfToken;
  if (value.expiresIn) json["expiresIn"] = *value.expiresIn;
  if (value.message) json["message"] = *value.message;
}

void from_json(const nlohmann::json& json, ZTAuthTokenResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
