#pragma once

#include <functional>
#include <string>
#include <utility>

#include <Dispatch/DispatchQueue.hpp>

#include "ZTAPI/ResponceDataModel/ZTError.hpp"
#include "ZTAPI/ZTPublicAPIUser.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

// Host entry: reads a record of the user's data from the API server after the permission
// step, e.g. ZTUserManager::request<ZTUserDataResponse>(ZTPublicConstants::getUserEndpoint(),
// onUser, onError). A refused or failed permission gives ZTOAuthError{0, "Access denied"}.
class ZTUserManager {
 public:
  ZTUserManager() = default;

  template <class T>
  static void request(const std::string& endpoint, std::function<void(T)> success,
                      std::function<void(ZTOAuthError)> errorEvent) {
    const auto url = ZTConstants::getZentrelAPIFullPath(endpoint);
    givePermissions(
        [url, success = std::move(success), errorEvent = std::move(errorEvent)](bool granted) {
          if (granted) {
            ZTPublicAPIUser::request<T>(true, url, success, errorEvent);
          } else if (errorEvent) {
            Dispatch::DispatchQueue::main().async(
                [errorEvent] { errorEvent(ZTOAuthError(0, "Access denied")); });
          }
        });
  }

 private:
  // The OAuth core's permission step: true once an access token is held.
  static void givePermissions(std::function<void(bool)> completion);
};

}  // namespace ZentrelSDK
