#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Foundation/URL.hpp"

namespace Foundation {

// Swift's URLResponse: what every response tells, whatever the protocol. The session hands out
// HTTPURLResponse objects; the base exists so code reads as it does on the platform
// (`if (auto http = std::dynamic_pointer_cast<HTTPURLResponse>(response))`).
class URLResponse {
 public:
  URLResponse(URL url, std::optional<std::string> mimeType, std::int64_t expectedContentLength,
              std::optional<std::string> textEncodingName)
      : url_(std::move(url)),
        mimeType_(std::move(mimeType)),
        expectedContentLength_(expectedContentLength),
        textEncodingName_(std::move(textEncodingName)) {}
  virtual ~URLResponse() = default;

  const URL& url() const { return url_; }
  const std::optional<std::string>& mimeType() const { return mimeType_; }
  // The announced body length, -1 when the response does not announce one.
  std::int64_t expectedContentLength() const { return expectedContentLength_; }
  const std::optional<std::string>& textEncodingName() const { return textEncodingName_; }

 private:
  URL url_;
  std::optional<std::string> mimeType_;
  std::int64_t expectedContentLength_;
  std::optional<std::string> textEncodingName_;
};

// Swift's HTTPURLResponse. Header lookups ignore case; a field sent several times is joined
// with ", ", as the platform does.
class HTTPURLResponse : public URLResponse {
 public:
  // Swift `HTTPURLResponse(url:statusCode:httpVersion:headerFields:)`; fields in arrival order.
  HTTPURLResponse(URL url, int statusCode, std::optional<std::string> httpVersion,
                  const std::vector<std::pair<std::string, std::string>>& headerFields);

  int statusCode() const { return statusCode_; }
  const std::optional<std::string>& httpVersion() const { return httpVersion_; }
  // Swift `value(forHTTPHeaderField:)`.
  std::optional<std::string> value(std::string_view field) const;
  // Swift `allHeaderFields`.
  std::map<std::string, std::string> allHeaderFields() const;

 private:
  int statusCode_;
  std::optional<std::string> httpVersion_;
  std::vector<std::pair<std::string, std::string>> fields_;
};

}  // namespace Foundation
