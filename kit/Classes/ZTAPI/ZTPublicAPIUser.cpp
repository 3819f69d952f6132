#include "ZTAPI/ZTPublicAPIUser.hpp"

namespace ZentrelSDK {

ZTOAuthError ZTPublicAPIUser::failureOf(const ZTResponse& response, bool personalDataRequested) {
  // Only the personal-data read gives 204 a meaning: the user has none.
  if (response.statusCode == 204 && personalDataRequested)
    return ZTOAuthError(0, "Personal data is empty");
  // A refused access token is dead: the next data request must start from the session check.
  if (response.statusCode == 401) ZTTokenUtilites::shared()->clearTokens();
  return ZTResponseHandler::createReadableErrorMessage(response);
}

}  // namespace ZentrelSDK
