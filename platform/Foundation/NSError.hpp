#pragma once

#include <map>
#include <optional>
#include <string>

namespace Foundation {

inline constexpr const char* NSURLErrorDomain = "NSURLErrorDomain";
inline constexpr const char* NSLocalizedDescriptionKey = "NSLocalizedDescription";
inline constexpr const char* NSURLErrorFailingURLStringErrorKey = "NSErrorFailingURLStringKey";
inline constexpr const char* NSDebugDescriptionErrorKey = "NSDebugDescription";

// Codes of NSURLErrorDomain (Swift `URLError.Code`).
inline constexpr int NSURLErrorUnknown = -1;
inline constexpr int NSURLErrorCancelled = -999;
inline constexpr int NSURLErrorBadURL = -1000;
inline constexpr int NSURLErrorTimedOut = -1001;
inline constexpr int NSURLErrorUnsupportedURL = -1002;
inline constexpr int NSURLErrorCannotFindHost = -1003;
inline constexpr int NSURLErrorCannotConnectToHost = -1004;
inline constexpr int NSURLErrorNetworkConnectionLost = -1005;
inline constexpr int NSURLErrorHTTPTooManyRedirects = -1007;
inline constexpr int NSURLErrorBadServerResponse = -1011;
inline constexpr int NSURLErrorRequestBodyStreamExhausted = -1021;
inline constexpr int NSURLErrorAppTransportSecurityRequiresSecureConnection = -1022;
inline constexpr int NSURLErrorFileDoesNotExist = -1100;
inline constexpr int NSURLErrorNoPermissionsToReadFile = -1102;
inline constexpr int NSURLErrorDataLengthExceedsMaximum = -1103;
inline constexpr int NSURLErrorSecureConnectionFailed = -1200;
inline constexpr int NSURLErrorServerCertificateUntrusted = -1202;
inline constexpr int NSURLErrorCannotCreateFile = -3000;
inline constexpr int NSURLErrorCannotWriteToFile = -3003;

// Swift's NSError: a domain, a code and user information. A value.
struct NSError {
  std::string domain;
  int code = 0;
  std::map<std::string, std::string> userInfo;

  NSError() = default;
  NSError(std::string domain, int code, std::map<std::string, std::string> userInfo = {})
      : domain(std::move(domain)), code(code), userInfo(std::move(userInfo)) {}

  // An NSURLErrorDomain error with the platform's text for `code`; the failing URL and a
  // diagnostic (the transport's own message) go into the user information when given.
  static NSError urlError(int code, const std::optional<std::string>& failingURL = std::nullopt,
                          const std::string& debugDescription = {});

  // The NSLocalizedDescription entry when there is one; else the platform's text for a known
  // NSURLErrorDomain code; else "The operation couldn’t be completed. (<domain> error <code>.)".
  std::string localizedDescription() const;

  bool operator==(const NSError&) const = default;
};

}  // namespace Foundation
