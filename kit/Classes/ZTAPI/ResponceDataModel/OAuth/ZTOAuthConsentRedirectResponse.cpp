#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthConsentRedirectResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

Foundation::Result<ZTOAuthConsentRedirectResponse, Foundation::DecodingError>
ZTOAuthConsentRedirectResponse::decode(const nlohmann::json& json) {
  Foundation::KeyedDecodingContainer container(json);
  ZTOAuthConsentRedirectResponse value;
  container.decode("redirect", value.redirect);
  return container.finish(std::move(value));
}

void to_json(nlohmann::json& json, const ZTOAuthConsentRedirectResponse& value) {
  json = nlohmann::json{{"redirect", value.redirect}};
}

void from_json(const nlohmann::json& json, ZTOAuthConsentRedirectResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
