#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Foundation/CharacterSet.hpp"

namespace Foundation {

// The parts of a URL reference as written (percent-encoded), shared by URL and URLComponents.
// `host` is "" for an empty authority ("file:///tmp") and absent when there is no authority.
struct URLParts {
  std::optional<std::string> scheme;
  std::optional<std::string> user;
  std::optional<std::string> password;
  std::optional<std::string> host;  // an IPv6 literal keeps its brackets
  std::optional<int> port;
  std::string path;
  std::optional<std::string> query;
  std::optional<std::string> fragment;

  bool hasAuthority() const { return user || password || host || port; }
  bool operator==(const URLParts&) const = default;
};

// Splits and checks URL references (RFC 3986). The authority is checked by libcurl's URL
// parser; scheme, path, query and fragment are kept exactly as written, since libcurl would
// normalise them (lower-case scheme, "/" for an empty path).
class URLParser {
 public:
  // Absolute or relative reference; nullopt for characters a URL cannot hold (space,
  // non-ASCII, "<>\"{}|\\^`"), malformed escapes, a bad scheme, host or port.
  static std::optional<URLParts> parse(std::string_view text);
  // nullopt when the parts cannot be written as one reference (e.g. a relative path after an
  // authority).
  static std::optional<std::string> build(const URLParts& parts);

  static bool isValidScheme(std::string_view scheme);
  // True when every character is in `allowed` or starts a well-formed %XX escape.
  static bool isPercentEncoded(std::string_view text, const CharacterSet& allowed);
  // Percent-decoded text; the text itself when it does not decode to UTF-8.
  static std::string decoded(std::string_view text);
};

}  // namespace Foundation
