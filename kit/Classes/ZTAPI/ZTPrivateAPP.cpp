#include "ZTAPI/ZTPrivateAPP.hpp"

#include <utility>

#include "ZTAPI/ZTRequestManager.hpp"
#include "ZTAPI/ZTResponseHandler.hpp"
#include "ZTNetworkCore/ZTCodableRequestBody.hpp"
#include "ZTTokenUtilites.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

void ZTPrivateAPP::getAPPDockScopes(const std::string& appId, bool clearCookie,
                                    std::function<void(std::optional<DocumentTypes>)> success,
                                    std::function<void(ZTOAuthError)> errorEvent) {
  ZTRequestManager::shared()->runExpectingAnyAnswer(
      ZTTokenUtilites::shared()->getToken(), std::string(),
      ZTConstants::getAppsDockRequiredPath(appId), ZTHTTPMethod::get, clearCookie, EmptyBody(),
      [success = std::move(success),
       errorEvent = std::move(errorEvent)](Foundation::Result<ZTResponse, Error> result) {
        const auto fail = [&](ZTOAuthError error) {
          if (errorEvent) errorEvent(std::move(error));
        };
        if (result.isFailure()) return fail(ZTOAuthError(0, result.error().localizedDescription()));
        const ZTResponse& response = result.value();
        if (response.statusCode != 200)
          return fail(ZTResponseHandler::createReadableErrorMessage(response));
        auto types = ZTResponseHandler::parseData<std::optional<DocumentTypes>>(response.data);
        if (types.isFailure()) return fail(ZTOAuthError(0, types.error().localizedDescription()));
        if (success) success(std::move(types).value());
      });
}

}  // namespace ZentrelSDK
