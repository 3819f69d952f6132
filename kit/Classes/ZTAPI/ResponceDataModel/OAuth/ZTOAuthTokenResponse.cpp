#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthTokenResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

Foundation::Result<ZTOAuthTokenResponse, Foundation::DecodingError> ZTOAuthTokenResponse::decode(
    const nlohmann::json& json) {
  Foundation::KeyedDecodingContainer container(json);
  ZTOAuthTokenResponse value;
  container.decode("refreshToken", value.refreshToken);
  container.decode("expiresIn", value.expiresIn);
  container.decode("accessToken", value.accessToken);
  container.decode("scope", value.scope);
  container.decode("tokenType", value.tokenType);
  return container.finish(std::move(value));
}

void to_json(nlohmann::json& json, const ZTOAuthTokenResponse& value) {
  json = nlohmann::json{{"refreshToken", value.refreshToken},
                        {"expiresIn", value.expiresIn},
                        {"accessToken", value.accessToken},
                        {"scope", value.scope},
                        {"tokenType", value.tokenType}};
}

void from_json(const nlohmann::json& json, ZTOAuthTokenResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
