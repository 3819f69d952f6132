#pragma once

#include <functional>
#include <string>
#include <type_traits>
#include <utility>

#include "ZTAPI/ResponceDataModel/User/ZTUserPersonalDataResponse.hpp"
#include "ZTAPI/ResponceDataModel/ZTError.hpp"
#include "ZTAPI/ZTPublicAPIRequest.hpp"

namespace ZentrelSDK {

// Reads the signed-in user's data from the API server with the OAuth access token, decoded
// into the record type the caller names:
//
//   ZTPublicAPIUser::request<ZTUserDataResponse>(true, url, onUser, onError);
//   ZTPublicAPIUser::request<std::vector<ZTUserAddressesResponseElement>>(true, url, ...);
class ZTPublicAPIUser {
 public:
  ZTPublicAPIUser() = default;

  // GET of `url`, unchanged. Exactly one callback runs, once, on the main queue (at once on
  // the calling thread when the URL cannot be used); an empty callback is simply not called.
  // Failures carry the HTTP status when the server answered and 0 for what the kit decided:
  // no answer, a 200 that does not decode as T (the decoder's text), and "Personal data is
  // empty" for a 204 when T is ZTUserPersonalDataResponse. A 401 first forgets both tokens
  // and every cookie. The access token is read now, on the calling thread.
  template <class T>
  static void request(bool clearCookie, const std::string& url, std::function<void(T)> success,
                      std::function<void(ZTOAuthError)> errorEvent) {
    ZTPublicAPIRequest::run<T>(clearCookie, url,
                               std::is_same_v<T, ZTUserPersonalDataResponse>
                                   ? ZTPublicAPIRequest::NoContent::isEmptyPersonalData
                                   : ZTPublicAPIRequest::NoContent::isFailure,
                               std::move(success), std::move(errorEvent));
  }
};

}  // namespace ZentrelSDK
