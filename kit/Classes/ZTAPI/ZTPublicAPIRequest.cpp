#include "ZTAPI/ZTPublicAPIRequest.hpp"

namespace ZentrelSDK {

ZTOAuthError ZTPublicAPIRequest::failureOf(const ZTResponse& response, NoContent noContent) {
  if (response.statusCode == 204 && noContent == NoContent::isEmptyPersonalData)
    return ZTOAuthError(0, "Personal data is empty");
  // A refused access token is dead: the next data request must start from the session check.
  if (response.statusCode == 401) ZTTokenUtilites::shared()->clearTokens();
  return ZTResponseHandler::createReadableErrorMessage(response);
}

}  // namespace ZentrelSDK
