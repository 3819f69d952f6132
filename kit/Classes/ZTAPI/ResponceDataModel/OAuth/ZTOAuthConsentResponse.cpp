#include "ZTAPI/ResponceDataModel/OAuth/ZTOAuthConsentResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

Foundation::Result<ZTOAuthConsentResponse, Foundation::DecodingError>
ZTOAuthConsentResponse::decode(const nlohmann::json& json) {
  Foundation::KeyedDecodingContainer container(json);
  ZTOAuthConsentResponse value;
  container.decodeIfPresent("requested_scope", value.requested_scope);
  container.decode("skip", value.skip);
  container.decodeIfPresent("redirect_url", value.redirect_url);
  container.decodeIfPresent("urlWhileSkipping", value.urlWhileSkipping);
  return container.finish(std::move(value));
}

void to_json(nlohmann::json& json, const ZTOAuthConsentResponse& value) {
  json = nlohmann::json{{"skip", value.skip}};
  if (value.requested_scope) json["requested_scope"] = *value.requested_scope;
  if (value.redirect_url) json["redirect_url"] = *value.redirect_url;
  if (value.urlWhileSkipping) json["urlWhileSkipping"] = *value.urlWhileSkipping;
}

void from_json(const nlohmann::json& json, ZTOAuthConsentResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
