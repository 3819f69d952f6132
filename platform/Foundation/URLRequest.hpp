#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Foundation/Clock.hpp"
#include "Foundation/Data.hpp"
#include "Foundation/InputStream.hpp"
#include "Foundation/URL.hpp"

namespace Foundation {

// Swift's URLRequest, a value. Header names are case-insensitive; a header set again under any
// spelling replaces the earlier value and keeps its place, so headers go out in the order they
// were first set.
struct URLRequest {
  enum class CachePolicy {
    useProtocolCachePolicy = 0,
    reloadIgnoringLocalCacheData = 1,
    returnCacheDataElseLoad = 2,
    returnCacheDataDontLoad = 3,
  };

  // Swift `URLRequest(url:cachePolicy:timeoutInterval:)`.
  explicit URLRequest(URL url, CachePolicy cachePolicy = CachePolicy::useProtocolCachePolicy,
                      TimeInterval timeoutInterval = 60.0)
      : url(std::move(url)), cachePolicy(cachePolicy), timeoutInterval(timeoutInterval) {}

  std::optional<URL> url;
  std::string httpMethod = "GET";
  std::optional<Data> httpBody;
  // A body read as it is sent; give its length as "Content-Length" or it goes out chunked.
  // `httpBody`, when set, is sent instead. One task only may read it.
  std::shared_ptr<InputStream> httpBodyStream;
  CachePolicy cachePolicy = CachePolicy::useProtocolCachePolicy;
  // Seconds the transfer may stay without any activity (connecting, sending or receiving)
  // before it fails with NSURLErrorTimedOut. Zero or less means the 60 s default.
  TimeInterval timeoutInterval = 60.0;

  // Swift `setValue(_:forHTTPHeaderField:)`: nullopt removes the field. An empty value is sent
  // as an empty header.
  void setValue(std::optional<std::string> value, std::string_view field);
  // Swift `value(forHTTPHeaderField:)`.
  std::optional<std::string> value(std::string_view field) const;
  // Swift `allHTTPHeaderFields`.
  std::map<std::string, std::string> allHTTPHeaderFields() const;
  // Replaces every field (Swift `allHTTPHeaderFields = ...`).
  void setAllHTTPHeaderFields(const std::map<std::string, std::string>& fields);
  // The fields in the order they go out.
  const std::vector<std::pair<std::string, std::string>>& orderedHTTPHeaderFields() const {
    return headers_;
  }

  bool operator==(const URLRequest&) const = default;

 private:
  std::vector<std::pair<std::string, std::string>> headers_;
};

}  // namespace Foundation
