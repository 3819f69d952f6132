#include "ZTAPI/ResponceDataModel/User/ZTUserPersonalDataResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

Foundation::Result<ZTUserPersonalDataResponse, Foundation::DecodingError>
ZTUserPersonalDataResponse::decode(const nlohmann::json& json) {
  Foundation::KeyedDecodingContainer container(json);
  ZTUserPersonalDataResponse value;
  container.decode("id", value.id);
  container.decode("firstName", value.firstName);
  container.decode("lastName", value.lastName);
  container.decode("dateOfBirth", value.dateOfBirth);
  return container.finish(std::move(value));
}

void to_json(nlohmann::json& json, const ZTUserPersonalDataResponse& value) {
  json = nlohmann::json{{"id", value.id},
                        {"firstName", value.firstName},
                        {"lastName", value.lastName},
                        {"dateOfBirth", value.dateOfBirth}};
}

void from_json(const nlohmann::json& json, ZTUserPersonalDataResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
