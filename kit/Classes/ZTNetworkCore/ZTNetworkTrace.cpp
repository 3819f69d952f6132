#include "ZTNetworkCore/ZTNetworkTrace.hpp"

namespace ZentrelSDK {

namespace {

// OAuth endpoints take their challenge, verifier or code as the segments after their own
// name ("/oauth/consent/<challenge>"): those segments are starred like query values.
std::string redactedPath(std::string_view path) {
  std::string out;
  int afterOAuth = -1;  // segments seen since "oauth"; -1 before it
  for (std::size_t start = 0; start < path.size();) {
    auto end = path.find('/', start + 1);
    if (end == std::string_view::npos) end = path.size();
    const auto segment = path.substr(start, end - start);  // with its leading "/"
    if (afterOAuth >= 1 && segment.size() > 1) {
      out += "/*";
    } else {
      out.append(segment);
    }
    if (afterOAuth >= 0) {
      ++afterOAuth;
    } else if (segment == "/oauth") {
      afterOAuth = 0;
    }
    start = end;
  }
  return out;
}

}  // namespace

std::string ZTNetworkTrace::redactedURL(std::string_view url) {
  std::string_view rest = url;
  std::string_view fragmentless = rest.substr(0, rest.find('#'));
  const auto question = fragmentless.find('?');
  std::string_view head = fragmentless.substr(0, question);

  std::string out;
  // Drop user info ("user:password@") from the authority.
  const auto scheme = head.find("://");
  if (scheme != std::string_view::npos) {
    const auto authorityStart = scheme + 3;
    const auto authorityEnd = head.find('/', authorityStart);
    const auto authority = head.substr(authorityStart, authorityEnd - authorityStart);
    const auto at = authority.rfind('@');
    out.append(head.substr(0, authorityStart));
    out.append(at == std::string_view::npos ? authority : authority.substr(at + 1));
    if (authorityEnd != std::string_view::npos) out.append(redactedPath(head.substr(authorityEnd)));
  } else {
    out.append(redactedPath(head));
  }
  if (question == std::string_view::npos) return out;

  std::string_view query = fragmentless.substr(question + 1);
  out += '?';
  bool first = true;
  while (true) {
    const auto amp = query.find('&');
    const auto pair = query.substr(0, amp);
    if (!first) out += '&';
    first = false;
    const auto eq = pair.find('=');
    out.append(pair.substr(0, eq));
    if (eq != std::string_view::npos) out += "=*";
    if (amp == std::string_view::npos) break;
    query = query.substr(amp + 1);
  }
  return out;
}

std::string ZTNetworkTrace::shape(const nlohmann::json& value, std::size_t size) {
  std::string text = std::to_string(size) + " bytes";
  if (value.is_object()) {
    text += ", keys:";
    bool first = true;
    for (const auto& [key, item] : value.items()) {
      text += first ? " " : ", ";
      text += key;
      first = false;
    }
  } else if (value.is_array()) {
    text += ", list of " + std::to_string(value.size());
  }
  return text;
}

std::string ZTNetworkTrace::request(std::string_view method, std::string_view url) {
  return "\u27A1\uFE0F\u27A1\uFE0F\u27A1\uFE0F\nQUERING TO: " + std::string(method) + " " +
         redactedURL(url) + "\n______\n";
}

std::string ZTNetworkTrace::requestBody(const nlohmann::json& body, std::size_t size) {
  return "\U0001F9F3\U0001F9F3\U0001F9F3\nQUERY BODY:\n" + shape(body, size) + "\n______\n";
}

std::string ZTNetworkTrace::answer(int statusCode, const nlohmann::json& body, std::size_t size) {
  return "\u2B05\uFE0F\u2B05\uFE0F\u2B05\uFE0F\nSERVER ANSWER\n" + std::to_string(statusCode) +
         ", " + shape(body, size) + "\n_____\n";
}

std::string ZTNetworkTrace::redirect(std::string_view url) {
  return "REDIRECT Request: " + redactedURL(url) + "\n______\n";
}

std::string ZTNetworkTrace::deinit(std::string_view url) {
  return "Deinit: " + redactedURL(url);
}

}  // namespace ZentrelSDK
