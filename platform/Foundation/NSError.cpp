#include "Foundation/NSError.hpp"

#include "Foundation/URL.hpp"

namespace Foundation {

namespace {

const char* urlErrorText(int code) {
  switch (code) {
    case NSURLErrorUnknown:
      return "unknown error";
    case NSURLErrorCancelled:
      return "cancelled";
    case NSURLErrorBadURL:
      return "unsupported URL";
    case NSURLErrorTimedOut:
      return "The request timed out.";
    case NSURLErrorUnsupportedURL:
      return "unsupported URL";
    case NSURLErrorCannotFindHost:
      return "A server with the specified hostname could not be found.";
    case NSURLErrorCannotConnectToHost:
      return "Could not connect to the server.";
    case NSURLErrorNetworkConnectionLost:
      return "The network connection was lost.";
    case NSURLErrorHTTPTooManyRedirects:
      return "too many HTTP redirects";
    case NSURLErrorBadServerResponse:
      return "bad server response";
    case NSURLErrorRequestBodyStreamExhausted:
      return "request body stream exhausted";
    case NSURLErrorAppTransportSecurityRequiresSecureConnection:
      return "The resource could not be loaded because the App Transport Security policy requires "
             "the use of a secure connection.";
    case NSURLErrorFileDoesNotExist:
      return "The requested URL was not found on this server.";
    case NSURLErrorNoPermissionsToReadFile:
      return "You do not have permission to access the requested resource.";
    case NSURLErrorDataLengthExceedsMaximum:
      return "resource exceeds maximum size";
    case NSURLErrorSecureConnectionFailed:
      return "An SSL error has occurred and a secure connection to the server cannot be made.";
    case NSURLErrorServerCertificateUntrusted:
      return "The certificate for this server is invalid.";
    case NSURLErrorCannotCreateFile:
      return "cannot create file";
    case NSURLErrorCannotWriteToFile:
      return "cannot write file";
    default:
      return nullptr;
  }
}

}  // namespace

NSError NSError::urlError(int code, const std::optional<std::string>& failingURL,
                          const std::string& debugDescription) {
  std::map<std::string, std::string> info;
  if (const char* text = urlErrorText(code)) {
    std::string description = text;
    if (code == NSURLErrorServerCertificateUntrusted && failingURL) {
      if (auto url = URL::string(*failingURL); url && url->host()) {
        description += " You might be connecting to a server that is pretending to be \u201C" +
                       *url->host() +
                       "\u201D which could put your confidential information at risk.";
      }
    }
    info[NSLocalizedDescriptionKey] = std::move(description);
  }
  if (failingURL) info[NSURLErrorFailingURLStringErrorKey] = *failingURL;
  if (!debugDescription.empty()) info[NSDebugDescriptionErrorKey] = debugDescription;
  return NSError(NSURLErrorDomain, code, std::move(info));
}

std::string NSError::localizedDescription() const {
  if (auto it = userInfo.find(NSLocalizedDescriptionKey); it != userInfo.end()) return it->second;
  if (domain == NSURLErrorDomain) {
    if (const char* text = urlErrorText(code)) return text;
  }
  return "The operation couldn\u2019t be completed. (" + domain + " error " + std::to_string(code) +
         ".)";
}

}  // namespace Foundation
