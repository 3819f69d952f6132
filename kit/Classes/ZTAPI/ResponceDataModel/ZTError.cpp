#include "ZTAPI/ResponceDataModel/ZTError.hpp"

#include <Foundation/JSONCoding.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

Foundation::Result<ZTOAuthError, Foundation::DecodingError> ZTOAuthError::decode(
    const nlohmann::json& j) {
  Foundation::KeyedDecodingContainer c(j);
  ZTOAuthError error;
  c.decode("code", error.code);
  c.decodeIfPresent("message", error.message);
  return c.finish(std::move(error));
}

void to_json(nlohmann::json& j, const ZTOAuthError& error) {
  j = nlohmann::json{{"code", error.code}};
  if (error.message) j["message"] = *error.message;
}

void from_json(const nlohmann::json& j, ZTOAuthError& error) {
  detail::decodeOrThrow(j, error);
}

}  // namespace ZentrelSDK
