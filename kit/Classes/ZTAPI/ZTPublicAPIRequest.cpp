#include "ZTAPI/ZTPublicAPIRequest.hpp"

#include <utility>

#include "ZTAPI/ZTRequestManager.hpp"
#include "ZTAPI/ZTResponseHandler.hpp"
#include "ZTNetworkCore/ZTCodableRequestBody.hpp"
#include "ZTNetworkCore/ZTNetworkErrors.hpp"
#include "ZTNetworkCore/ZTResponse.hpp"
#include "ZTTokenUtilites.hpp"

namespace ZentrelSDK {

namespace {

// The error of any status but 200; clears the tokens on 401.
ZTOAuthError failureOf(const ZTResponse& response, ZTPublicAPIRequest::NoContent noContent) {
  if (response.statusCode == 204 && noContent == ZTPublicAPIRequest::NoContent::isEmptyPersonalData)
    return ZTOAuthError(0, "Personal data is empty");
  // A refused access token is dead: the next data request must start from the session check.
  if (response.statusCode == 401) ZTTokenUtilites::shared()->clearTokens();
  return ZTResponseHandler::createReadableErrorMessage(response);
}

}  // namespace

void ZTPublicAPIRequest::fetch(
    bool clearCookie, const std::string& url, NoContent noContent,
    std::function<void(Foundation::Result<Foundation::Data, ZTOAuthError>)> answered) {
  const auto token = ZTTokenUtilites::shared()->getOAuthToken();
  ZTRequestManager::shared()->runExpectingAnyAnswer(
      token, std::string(), url, ZTHTTPMethod::get, clearCookie, EmptyBody(),
      [answered = std::move(answered), noContent](Foundation::Result<ZTResponse, Error> result) {
        if (result.isFailure())
          return answered(
              Foundation::failure(ZTOAuthError(0, result.error().localizedDescription())));
        ZTResponse response = std::move(result).value();
        if (response.statusCode != 200)
          return answered(Foundation::failure(failureOf(response, noContent)));
        if (!response.data)
          return answered(Foundation::failure(ZTOAuthError(
              0, Error(ZTResponseHandler::ParseError::noData()).localizedDescription())));
        answered(Foundation::success(std::move(*response.data)));
      });
}

}  // namespace ZentrelSDK
