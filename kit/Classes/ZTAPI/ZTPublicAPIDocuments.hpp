#pragma once

#include <functional>
#include <string>
#include <utility>

#include <Foundation/Data.hpp>

#include "ZTAPI/ResponceDataModel/ZTError.hpp"
#include "ZTAPI/ZTPublicAPIRequest.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

// The host-facing documents reads of the API server, with the OAuth access token:
//
//   ZTPublicAPIDocuments::request<std::vector<std::optional<ZTPublicDocumentElement>>>(
//       true, ZTPublicConstants::getDocumentsEndpoint(), onDocuments, onError);
class ZTPublicAPIDocuments {
 public:
  ZTPublicAPIDocuments() = default;

  // GET of "/v1" + `endpoint` on the API server, decoded as T. Exactly one callback runs,
  // once, on the main queue. Failures carry the HTTP status, or 0 for no answer and for a 200
  // that does not decode. A 401 first forgets both tokens and every cookie.
  template <class T>
  static void request(bool clearCookie, const std::string& endpoint, std::function<void(T)> success,
                      std::function<void(ZTOAuthError)> errorEvent) {
    ZTPublicAPIRequest::run<T>(clearCookie, ZTConstants::getZentrelAPIFullPath(endpoint),
                               ZTPublicAPIRequest::NoContent::isFailure, std::move(success),
                               std::move(errorEvent));
  }

  // The bytes at a full https URL, used unchanged. Without an access token (0, "unauthorized")
  // and for a URL that is not https (0, "wrong url") the error runs at once on the calling
  // thread and nothing is sent. Otherwise one callback on the main queue: no answer is code 1;
  // a 200 hands on its bytes, zero bytes included; any other status is the readable error and
  // a 401 clears nothing.
  static void download(const std::string& url, std::function<void(Foundation::Data)> success,
                       std::function<void(ZTOAuthError)> errorEvent);
};

}  // namespace ZentrelSDK
