#include "ZTAPI/ResponceDataModel/User/ZTUserDataResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

Foundation::Result<Phone, Foundation::DecodingError> Phone::decode(const nlohmann::json& json) {
  Foundation::KeyedDecodingContainer container(json);
  Phone value;
  container.decode("id", value.id);
  container.decode("createdAt", value.createdAt);
  container.decode("status", value.status);
  container.decode("country", value.country);
  container.decode("number", value.number);
  container.decode("main", value.main);
  return container.finish(std::move(value));
}

Foundation::Result<ZTUserDataResponse, Foundation::DecodingError> ZTUserDataResponse::decode(
    const nlohmann::json& json) {
  Foundation::KeyedDecodingContainer container(json);
  ZTUserDataResponse value;
  container.decode("id", value.id);
  container.decodeIfPresent("email", value.email);
  container.decodeIfPresent("phones", value.phones);
  return container.finish(std::move(value));
}

void to_json(nlohmann::json& json, const Phone& value) {
  json = nlohmann::json{{"id", value.id},         {"createdAt", value.createdAt},
                        {"status", value.status}, {"country", value.country},
                        {"number", value.number}, {"main", value.main}};
}

void to_json(nlohmann::json& json, const ZTUserDataResponse& value) {
  json = nlohmann::json{{"id", value.id}};
  if (value.email) json["email"] = *value.email;
  if (value.phones) json["phones"] = *value.phones;
}

void from_json(const nlohmann::json& json, Phone& value) {
  detail::decodeOrThrow(json, value);
}
void from_json(const nlohmann::json& json, ZTUserDataResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
