#include "Foundation/URLParser.hpp"

#include <curl/curl.h>

#include <charconv>
#include <memory>

namespace Foundation {

namespace {

bool isAlpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isHex(char c) {
  return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// pchar and "/" (RFC 3986 path); ";" is valid in a written path.
const CharacterSet& pathCharacters() {
  static const CharacterSet set =
      CharacterSet::urlPathAllowed().unioning(CharacterSet::charactersIn(";"));
  return set;
}

// Every character a written URL may hold outside escapes.
const CharacterSet& urlCharacters() {
  static const CharacterSet set =
      CharacterSet::urlQueryAllowed().unioning(CharacterSet::charactersIn("#[]"));
  return set;
}

struct CurlURLDeleter {
  void operator()(CURLU* h) const { curl_url_cleanup(h); }
};

// Checks an authority with libcurl and returns its port, if any. A neutral scheme keeps
// libcurl's per-scheme rules (file:, scheme length limits) out of it.
bool checkAuthority(std::string_view authority, std::optional<int>& port) {
  std::unique_ptr<CURLU, CurlURLDeleter> h(curl_url());
  if (!h) return false;
  const std::string probe = "x-zt://" + std::string(authority) + "/";
  if (curl_url_set(h.get(), CURLUPART_URL, probe.c_str(),
                   CURLU_NON_SUPPORT_SCHEME | CURLU_NO_AUTHORITY | CURLU_PATH_AS_IS) != CURLUE_OK)
    return false;
  char* value = nullptr;
  port.reset();
  if (curl_url_get(h.get(), CURLUPART_PORT, &value, 0) == CURLUE_OK && value) {
    const std::string_view text(value);
    int number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    curl_free(value);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    port = number;
  }
  return true;
}

bool splitAuthority(std::string_view authority, URLParts& parts) {
  std::optional<int> port;
  if (!checkAuthority(authority, port)) return false;
  auto hostPort = authority;
  if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
    const auto userInfo = authority.substr(0, at);
    hostPort = authority.substr(at + 1);
    if (const auto colon = userInfo.find(':'); colon != std::string_view::npos) {
      parts.user = std::string(userInfo.substr(0, colon));
      parts.password = std::string(userInfo.substr(colon + 1));
    } else {
      parts.user = std::string(userInfo);
    }
  }
  std::string_view host = hostPort;
  if (!hostPort.empty() && hostPort.front() == '[') {
    host = hostPort.substr(0, hostPort.find(']') + 1);
  } else if (const auto colon = hostPort.find(':'); colon != std::string_view::npos) {
    host = hostPort.substr(0, colon);
  }
  parts.host = std::string(host);
  parts.port = port;
  return true;
}

}  // namespace

bool URLParser::isValidScheme(std::string_view scheme) {
  if (scheme.empty() || !isAlpha(scheme.front())) return false;
  for (const char c : scheme) {
    if (!isAlpha(c) && !isDigit(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

bool URLParser::isPercentEncoded(std::string_view text, const CharacterSet& allowed) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%') {
      if (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2])) return false;
      i += 2;
    } else if (!allowed.contains(text[i])) {
      return false;
    }
  }
  return true;
}

std::string URLParser::decoded(std::string_view text) {
  auto result = removingPercentEncoding(text);
  return result ? std::move(*result) : std::string(text);
}

std::optional<URLParts> URLParser::parse(std::string_view text) {
  if (!isPercentEncoded(text, urlCharacters())) return std::nullopt;
  URLParts parts;
  auto rest = text;
  if (const auto hash = rest.find('#'); hash != std::string_view::npos) {
    const auto fragment = rest.substr(hash + 1);
    if (!isPercentEncoded(fragment, CharacterSet::urlFragmentAllowed())) return std::nullopt;
    parts.fragment = std::string(fragment);
    rest = rest.substr(0, hash);
  }
  if (const auto q = rest.find('?'); q != std::string_view::npos) {
    const auto query = rest.substr(q + 1);
    if (!isPercentEncoded(query, CharacterSet::urlQueryAllowed())) return std::nullopt;
    parts.query = std::string(query);
    rest = rest.substr(0, q);
  }
  // A scheme is what comes before the first ":" when no "/" precedes it.
  if (const auto colon = rest.find(':'); colon != std::string_view::npos) {
    const auto slash = rest.find('/');
    if (slash == std::string_view::npos || colon < slash) {
      const auto scheme = rest.substr(0, colon);
      if (!isValidScheme(scheme)) return std::nullopt;
      parts.scheme = std::string(scheme);
      rest = rest.substr(colon + 1);
    }
  }
  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    const auto end = rest.find('/');
    const auto authority = rest.substr(0, end);
    if (!splitAuthority(authority, parts)) return std::nullopt;
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
  }
  if (!isPercentEncoded(rest, pathCharacters())) return std::nullopt;
  parts.path = std::string(rest);
  return parts;
}

std::optional<std::string> URLParser::build(const URLParts& parts) {
  std::string out;
  if (parts.scheme) {
    if (!isValidScheme(*parts.scheme)) return std::nullopt;
    out += *parts.scheme + ":";
  }
  if (parts.hasAuthority()) {
    out += "//";
    if (parts.user || parts.password) {
      out += parts.user.value_or("");
      if (parts.password) out += ":" + *parts.password;
      out += "@";
    }
    out += parts.host.value_or("");
    if (parts.port) out += ":" + std::to_string(*parts.port);
    if (!parts.path.empty() && parts.path.front() != '/') return std::nullopt;
  } else {
    if (parts.path.starts_with("//")) return std::nullopt;
    // Without a scheme, a ":" in the first segment would read as one.
    if (!parts.scheme) {
      const auto first = parts.path.substr(0, parts.path.find('/'));
      if (first.find(':') != std::string::npos) return std::nullopt;
    }
  }
  out += parts.path;
  if (parts.query) out += "?" + *parts.query;
  if (parts.fragment) out += "#" + *parts.fragment;
  return out;
}

}  // namespace Foundation
