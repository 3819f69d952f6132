#pragma once

#include <functional>
#include <string>
#include <utility>

#include <Foundation/Result.hpp>

#include "ZTAPI/ResponceDataModel/ZTError.hpp"
#include "ZTAPI/ZTRequestManager.hpp"
#include "ZTAPI/ZTResponseHandler.hpp"
#include "ZTNetworkCore/ZTCodableRequestBody.hpp"
#include "ZTNetworkCore/ZTNetworkErrors.hpp"
#include "ZTNetworkCore/ZTResponse.hpp"
#include "ZTTokenUtilites.hpp"

namespace ZentrelSDK {

// The one road of the host-facing API-server reads (user data and documents): a GET with the
// OAuth access token, a 200 decoded strictly as T, every failure a ZTOAuthError. A 401 first
// forgets both tokens and every cookie.
class ZTPublicAPIRequest {
 public:
  // Where a 204 has a meaning of its own: the user has no personal data.
  enum class NoContent { isFailure, isEmptyPersonalData };

  template <class T>
  static void run(bool clearCookie, const std::string& url, NoContent noContent,
                  std::function<void(T)> success, std::function<void(ZTOAuthError)> errorEvent) {
    const auto token = ZTTokenUtilites::shared()->getOAuthToken();
    ZTRequestManager::shared()->runExpectingAnyAnswer(
        token, std::string(), url, ZTHTTPMethod::get, clearCookie, EmptyBody(),
        [success = std::move(success), errorEvent = std::move(errorEvent),
         noContent](Foundation::Result<ZTResponse, Error> result) {
          const auto fail = [&](ZTOAuthError error) {
            if (errorEvent) errorEvent(std::move(error));
          };
          if (result.isFailure())
            return fail(ZTOAuthError(0, result.error().localizedDescription()));
          const ZTResponse& response = result.value();
          if (response.statusCode != 200) return fail(failureOf(response, noContent));
          auto record = ZTResponseHandler::parseData<T>(response.data);
          if (record.isFailure())
            return fail(ZTOAuthError(0, record.error().localizedDescription()));
          if (success) success(std::move(record).value());
        });
  }

 private:
  // The error of any status but 200; clears the tokens on 401.
  static ZTOAuthError failureOf(const ZTResponse& response, NoContent noContent);
};

}  // namespace ZentrelSDK
