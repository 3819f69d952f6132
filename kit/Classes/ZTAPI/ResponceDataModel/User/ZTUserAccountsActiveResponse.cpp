#include "ZTAPI/ResponceDataModel/User/ZTUserAccountsActiveResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

Foundation::Result<ZTUserAccountsActiveResponse, Foundation::DecodingError>
ZTUserAccountsActiveResponse::decode(const nlohmann::json& json) {
  Foundation::KeyedDecodingContainer container(json);
  ZTUserAccountsActiveResponse value;
  container.decode("address", value.address);
  return container.finish(std::move(value));
}

void to_json(nlohmann::json& json, const ZTUserAccountsActiveResponse& value) {
  json = nlohmann::json{{"address", value.address}};
}

void from_json(const nlohmann::json& json, ZTUserAccountsActiveResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
