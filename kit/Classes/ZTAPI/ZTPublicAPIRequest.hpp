#pragma once

#include <functional>
#include <string>
#include <utility>

#include <Foundation/Data.hpp>
#include <Foundation/Result.hpp>

#include "ZTAPI/ResponceDataModel/ZTError.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

// The one road of the host-facing API-server reads (user data and documents): a GET with the
// OAuth access token, a 200 decoded strictly as T, every failure a ZTOAuthError. A 401 first
// forgets both tokens and every cookie.
class ZTPublicAPIRequest {
 public:
  // Where a 204 has a meaning of its own: the user has no personal data.
  enum class NoContent { isFailure, isEmptyPersonalData };

  // Only the decoding depends on T; the request itself is sent from inside the kit.
  template <class T>
  static void run(bool clearCookie, const std::string& url, NoContent noContent,
                  std::function<void(T)> success, std::function<void(ZTOAuthError)> errorEvent) {
    fetch(clearCookie, url, noContent,
          [success = std::move(success), errorEvent = std::move(errorEvent)](
              Foundation::Result<Foundation::Data, ZTOAuthError> body) {
            const auto fail = [&](ZTOAuthError error) {
              if (errorEvent) errorEvent(std::move(error));
            };
            if (body.isFailure()) return fail(std::move(body).error());
            auto record = parse<T>(body.value());
            if (record.isFailure())
              return fail(ZTOAuthError(0, record.error().localizedDescription()));
            if (success) success(std::move(record).value());
          });
  }

 private:
  // Reads the access token now, on the calling thread, and sends the GET. `answered` gets the
  // bytes of a 200, or the error of any other ending.
  static void fetch(
      bool clearCookie, const std::string& url, NoContent noContent,
      std::function<void(Foundation::Result<Foundation::Data, ZTOAuthError>)> answered);
};

}  // namespace ZentrelSDK
