#include "ZTAPI/ZTPrivateAPIUserAccount.hpp"

#include <utility>

#include "ZTAPI/ZTRequestManager.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"
#include "ZTNetworkCore/ZTCodableRequestBody.hpp"
#include "ZTTokenUtilites.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

void ZTPrivateAPIUserAccount::getUserSettings(
    const std::optional<std::string>& token, bool clearCookie,
    std::function<void(ZTAccountSettingsResponse)> success,
    std::function<void(std::string)> errorEvent) {
  const std::string bearer = token ? *token : ZTTokenUtilites::shared()->getToken();
  ZTRequestManager::shared()->runExpectingAnyAnswer(
      bearer, std::string(), ZTConstants::getUserSettingsPath(), ZTHTTPMethod::get, clearCookie,
      EmptyBody(),
      [success = std::move(success),
       errorEvent = std::move(errorEvent)](Foundation::Result<ZTResponse, Error> result) {
        const auto fail = [&](std::string text) {
          if (errorEvent) errorEvent(std::move(text));
        };
        if (result.isFailure()) return fail(result.error().localizedDescription());
        const ZTResponse& response = result.value();
        switch (response.statusCode) {
          case 200: {
            // An answer without bytes is undecodable like any other bad body.
            static const Foundation::Data kNoBytes;
            auto settings =
                parse<ZTAccountSettingsResponse>(response.data ? *response.data : kNoBytes);
            if (settings.isFailure()) return fail(settings.error().localizedDescription());
            if (success) success(std::move(settings).value());
            return;
          }
          case 401:
            return fail("User is not logged in");
          default:
            return fail("Something went wrong, please, try later");
        }
      });
}

}  // namespace ZentrelSDK
