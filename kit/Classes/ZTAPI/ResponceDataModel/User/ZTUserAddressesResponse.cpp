#include "ZTAPI/ResponceDataModel/User/ZTUserAddressesResponse.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

Foundation::Result<ZTUserAddressesResponseElement, Foundation::DecodingError>
ZTUserAddressesResponseElement::decode(const nlohmann::json& json) {
  Foundation::KeyedDecodingContainer container(json);
  ZTUserAddressesResponseElement value;
  container.decode("main", value.main);
  container.decode("createdAt", value.createdAt);
  container.decode("apartmentNumber", value.apartmentNumber);
  container.decode("streetNumber", value.streetNumber);
  container.decode("street", value.street);
  container.decode("city", value.city);
  container.decode("stateRegion", value.stateRegion);
  container.decode("country", value.country);
  container.decode("postalCode", value.postalCode);
  container.decode("lat", value.lat);
  container.decode("lng", value.lng);
  container.decode("verified", value.verified);
  return container.finish(std::move(value));
}

void to_json(nlohmann::json& json, const ZTUserAddressesResponseElement& value) {
  json = nlohmann::json{{"main", value.main},
                        {"createdAt", value.createdAt},
                        {"apartmentNumber", value.apartmentNumber},
                        {"streetNumber", value.streetNumber},
                        {"street", value.street},
                        {"city", value.city},
                        {"stateRegion", value.stateRegion},
                        {"country", value.country},
                        {"postalCode", value.postalCode},
                        {"lat", value.lat},
                        {"lng", value.lng},
                        {"verified", value.verified}};
}

void from_json(const nlohmann::json& json, ZTUserAddressesResponseElement& value) {
  detail::decodeOrThrow(json, value);
}

}  // namespace ZentrelSDK
