#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/URL.hpp"
#include "Foundation/URLParser.hpp"
#include "Foundation/URLQueryItem.hpp"

namespace Foundation {

// Swift's URLComponents. Plain getters are percent-decoded and plain setters encode what the
// component cannot hold; the percentEncoded* forms are the text as written. Swift traps on an
// invalid percent-encoded value or scheme; here those setters return false and change nothing.
class URLComponents {
 public:
  // Swift `URLComponents()`: all absent, empty path.
  URLComponents() = default;
  // Swift `URLComponents(string:)`: relative references are accepted too; nullopt where
  // URL::string would reject the characters, escapes, scheme, host or port.
  static std::optional<URLComponents> string(std::string_view text);
  // Swift `URLComponents(url:resolvingAgainstBaseURL:)` (URLs here are always absolute).
  static std::optional<URLComponents> url(const URL& url, bool resolvingAgainstBaseURL = false);

  // Swift `components.url` / `components.string`: nullopt when the parts do not form a URL
  // (a path not starting with "/" after a host, "//" starting a path without a host; `url()`
  // also needs a scheme).
  std::optional<URL> url() const;
  std::optional<std::string> string() const;

  const std::optional<std::string>& scheme() const { return parts_.scheme; }
  [[nodiscard]] bool setScheme(std::optional<std::string> scheme);

  std::optional<std::string> host() const;
  void setHost(std::optional<std::string> host);
  const std::optional<std::string>& percentEncodedHost() const { return parts_.host; }

  const std::optional<int>& port() const { return parts_.port; }
  [[nodiscard]] bool setPort(std::optional<int> port);  // false outside 0...65535

  std::string path() const;
  void setPath(std::string_view path);
  const std::string& percentEncodedPath() const { return parts_.path; }
  [[nodiscard]] bool setPercentEncodedPath(std::string path);

  std::optional<std::string> query() const;
  void setQuery(std::optional<std::string_view> query);
  const std::optional<std::string>& percentEncodedQuery() const { return parts_.query; }
  [[nodiscard]] bool setPercentEncodedQuery(std::optional<std::string> query);

  // Split on "&", then on the first "=" ("a" has no value, "a=" an empty one); decoded, and
  // "+" stays "+" (it is not a space here). Absent when there is no query.
  std::optional<std::vector<URLQueryItem>> queryItems() const;
  // Encodes as Foundation does: everything outside urlQueryAllowed, plus "&" in names and
  // values and "=" in names. "+" is left as is, and so is "=" in a value: a server that reads
  // "+" as a space needs the value encoded by hand (percentEncodedQueryItems).
  void setQueryItems(std::optional<std::vector<URLQueryItem>> items);
  std::optional<std::vector<URLQueryItem>> percentEncodedQueryItems() const;
  [[nodiscard]] bool setPercentEncodedQueryItems(std::optional<std::vector<URLQueryItem>> items);

  std::optional<std::string> fragment() const;
  void setFragment(std::optional<std::string_view> fragment);

  bool operator==(const URLComponents&) const = default;

 private:
  explicit URLComponents(URLParts parts) : parts_(std::move(parts)) {}
  URLParts parts_;
};

}  // namespace Foundation
