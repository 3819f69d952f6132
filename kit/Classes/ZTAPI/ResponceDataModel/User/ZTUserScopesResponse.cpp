#include "ZTAPI/ResponceDataModel/User/ZTUserScopesResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

Foundation::Result<ZTUserScopesResponse, Foundation::DecodingError> ZTUserScopesResponse::decode(
    const nlohmann::json& json) {
  Foundation::KeyedDecodingContainer container(json);
  ZTUserScopesResponse value;
  container.decode("scopes", value.scopes);
  return container.finish(std::move(value));
}

void to_json(nlohmann::json& json, const ZTUserScopesResponse& value) {
  json = nlohmann::json{{"scopes", value.scopes}};
}

void from_json(const nlohmann::json& json, ZTUserScopesResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
