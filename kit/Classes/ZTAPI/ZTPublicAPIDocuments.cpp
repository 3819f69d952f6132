#include "ZTAPI/ZTPublicAPIDocuments.hpp"

#include <Foundation/URL.hpp>

#include "ZTAPI/ZTRequestManager.hpp"
#include "ZTAPI/ZTResponseHandler.hpp"
#include "ZTNetworkCore/ZTNetworkErrors.hpp"
#include "ZTNetworkCore/ZTResponse.hpp"
#include "ZTTokenUtilites.hpp"

namespace ZentrelSDK {

void ZTPublicAPIDocuments::download(const std::string& url,
                                    std::function<void(Foundation::Data)> success,
                                    std::function<void(ZTOAuthError)> errorEvent) {
  const auto fail = [&errorEvent](ZTOAuthError error) {
    if (errorEvent) errorEvent(std::move(error));
  };
  const auto token = ZTTokenUtilites::shared()->getOAuthToken();
  if (!token) return fail(ZTOAuthError(0, ZTNetworkError::unauthorized().localizedDescription()));
  // The access token must never travel in clear text or to a local file.
  const auto parsed = Foundation::URL::string(url);
  if (!parsed || parsed->scheme() != "https")
    return fail(ZTOAuthError(0, ZTNetworkError::wrongURL().localizedDescription()));

  ZTRequestManager::shared()->download(
      token, std::string(), url,
      [success = std::move(success),
       errorEvent = std::move(errorEvent)](Foundation::Result<ZTResponse, Error> result) {
        const auto report = [&](ZTOAuthError error) {
          if (errorEvent) errorEvent(std::move(error));
        };
        if (result.isFailure())
          return report(ZTOAuthError(1, result.error().localizedDescription()));
        ZTResponse& response = result.value();
        if (response.statusCode != 200)
          return report(ZTResponseHandler::createReadableErrorMessage(response));
        if (success) success(std::move(response.data).value_or(Foundation::Data()));
      });
}

}  // namespace ZentrelSDK
