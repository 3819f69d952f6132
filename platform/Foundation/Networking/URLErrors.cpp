#include "Foundation/Networking/URLErrors.hpp"

#include "Foundation/Networking/Transfer.hpp"

namespace Foundation::Networking {

int urlErrorCode(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
      return NSURLErrorCannotFindHost;
    case CURLE_COULDNT_CONNECT:
      return NSURLErrorCannotConnectToHost;
    case CURLE_OPERATION_TIMEDOUT:
      return NSURLErrorTimedOut;
    case CURLE_PEER_FAILED_VERIFICATION:
      return NSURLErrorServerCertificateUntrusted;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_USE_SSL_FAILED:
      return NSURLErrorSecureConnectionFailed;
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
      return NSURLErrorNetworkConnectionLost;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING:
      return NSURLErrorBadServerResponse;
    case CURLE_URL_MALFORMAT:
      return NSURLErrorBadURL;
    case CURLE_UNSUPPORTED_PROTOCOL:
      return NSURLErrorUnsupportedURL;
    default:
      return NSURLErrorUnknown;
  }
}

std::optional<NSError> checkLoadable(const URLRequest& request) {
  if (!request.url) return NSError::urlError(NSURLErrorBadURL);
  const std::string& text = request.url->absoluteString();
  const std::string scheme = lowered(request.url->scheme().value_or(""));
  if (scheme == "http") {
    return NSError::urlError(NSURLErrorAppTransportSecurityRequiresSecureConnection, text);
  }
  if (scheme != "https") return NSError::urlError(NSURLErrorUnsupportedURL, text);
  const auto& host = request.url->parts().host;
  if (!host || host->empty()) return NSError::urlError(NSURLErrorBadURL, text);
  return std::nullopt;
}

}  // namespace Foundation::Networking
