#include "ZTAPI/ResponceDataModel/Account/ZTAccountSettingsResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

Foundation::Result<ZTAccountSettingsResponse, Foundation::DecodingError>
ZTAccountSettingsResponse::decode(const nlohmann::json& json) {
  Foundation::KeyedDecodingContainer container(json);
  ZTAccountSettingsResponse value;
  container.decode("createdAt", value.createdAt);
  container.decode("updatedAt", value.updatedAt);
  container.decode("lastActiveAt", value.lastActiveAt);
  container.decode("id", value.id);
  container.decode("email", value.email);
  container.decode("emailConfirmed", value.emailConfirmed);
  container.decode("smsCodeEnabled", value.smsCodeEnabled);
  container.decodeIfPresent("country", value.country);
  container.decode("otpEnabled", value.otpEnabled);
  container.decode("disabled", value.disabled);
  container.decode("fiatCurrency", value.fiatCurrency);
  container.decode("lastActiveAccount", value.lastActiveAccount);
  return container.finish(std::move(value));
}

void to_json(nlohmann::json& json, const ZTAccountSettingsResponse& value) {
  json = nlohmann::json{{"createdAt", value.createdAt},
                        {"updatedAt", value.updatedAt},
                        {"lastActiveAt", value.lastActiveAt},
                        {"id", value.id},
                        {"email", value.email},
                        {"emailConfirmed", value.emailConfirmed},
                        {"smsCodeEnabled", value.smsCodeEnabled},
                        {"otpEnabled", value.otpEnabled},
                        {"disabled", value.disabled},
                        {"fiatCurrency", value.fiatCurrency},
                        {"lastActiveAccount", value.lastActiveAccount}};
  if (value.country) json["country"] = *value.country;
}

void from_json(const nlohmann::json& json, ZTAccountSettingsResponse& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
