#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthLoginRedirectResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

Foundation::Result<ZTOAuthLoginRedirectResponse, Foundation::DecodingError>
ZTOAuthLoginRedirectResponse::decode(const nlohmann::json& json) {
  Foundation::KeyedDecodingContainer container(json);
  ZTOAuthLoginRedirectResponse value;
  container.decode("redirect", value.redirect);
  return container.finish(std::move(value));
}

void to_json(nlohmann::json& json, const ZTOAuthLoginRedirectResponse& value) {
  json = nlohmann::json{{"redirect", value.redirect}};
}

void from_json(const nlohmann::json& json, ZTOAuthLoginRedirectResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
