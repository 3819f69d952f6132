#include "ZTAPI/ZTResponseHandler.hpp"

namespace ZentrelSDK {

std::string ZTResponseHandler::ParseError::localizedDescription() const {
  return "The operation couldn\u2019t be completed. (ZentrelSDK.ZTResponseHandler.ParseError "
         "error 0.)";
}

ZTOAuthError ZTResponseHandler::createReadableErrorMessage(const ZTResponse& response) {
  if (response.statusCode == 401) return ZTOAuthError(401, "unauthorized");
  if (!response.data) return ZTOAuthError(response.statusCode, "no data");
  auto text = Foundation::stringFromUTF8(*response.data);
  return ZTOAuthError(response.statusCode, text ? std::move(*text) : "some wrong data");
}

}  // namespace ZentrelSDK
