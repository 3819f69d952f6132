#include "Foundation/URLComponents.hpp"

namespace Foundation {

namespace {

const CharacterSet& queryNameAllowed() {
  static const CharacterSet set = CharacterSet::urlQueryAllowed().subtracting("&=");
  return set;
}
const CharacterSet& queryValueAllowed() {
  static const CharacterSet set = CharacterSet::urlQueryAllowed().subtracting("&");
  return set;
}
const CharacterSet& writtenPathAllowed() {
  static const CharacterSet set =
      CharacterSet::urlPathAllowed().unioning(CharacterSet::charactersIn(";"));
  return set;
}

std::vector<URLQueryItem> splitQuery(const std::string& query) {
  std::vector<URLQueryItem> items;
  std::size_t start = 0;
  for (;;) {
    auto end = query.find('&', start);
    if (end == std::string::npos) end = query.size();
    const std::string_view pair(query.data() + start, end - start);
    const auto eq = pair.find('=');
    if (eq == std::string_view::npos) {
      items.push_back({std::string(pair), std::nullopt});
    } else {
      items.push_back({std::string(pair.substr(0, eq)), std::string(pair.substr(eq + 1))});
    }
    if (end == query.size()) break;
    start = end + 1;
  }
  return items;
}

std::string joinQuery(const std::vector<URLQueryItem>& items) {
  std::string query;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) query += '&';
    query += items[i].name;
    if (items[i].value) query += "=" + *items[i].value;
  }
  return query;
}

}  // namespace

std::optional<URLComponents> URLComponents::string(std::string_view text) {
  auto parts = URLParser::parse(text);
  if (!parts) return std::nullopt;
  return URLComponents(std::move(*parts));
}

std::optional<URLComponents> URLComponents::url(const URL& url, bool) {
  return URLComponents(url.parts());
}

std::optional<URL> URLComponents::url() const {
  const auto text = string();
  if (!text) return std::nullopt;
  return URL::string(*text);
}

std::optional<std::string> URLComponents::string() const {
  return URLParser::build(parts_);
}

bool URLComponents::setScheme(std::optional<std::string> scheme) {
  if (scheme && !URLParser::isValidScheme(*scheme)) return false;
  parts_.scheme = std::move(scheme);
  return true;
}

std::optional<std::string> URLComponents::host() const {
  if (!parts_.host) return std::nullopt;
  return URLParser::decoded(*parts_.host);
}

void URLComponents::setHost(std::optional<std::string> host) {
  if (!host) {
    parts_.host.reset();
    return;
  }
  // An IPv6 literal is written in brackets.
  if (host->find(':') != std::string::npos && !host->starts_with("[")) host = "[" + *host + "]";
  parts_.host = addingPercentEncoding(*host, CharacterSet::urlHostAllowed());
}

bool URLComponents::setPort(std::optional<int> port) {
  if (port && (*port < 0 || *port > 65535)) return false;
  parts_.port = port;
  return true;
}

std::string URLComponents::path() const {
  return URLParser::decoded(parts_.path);
}

void URLComponents::setPath(std::string_view path) {
  parts_.path = addingPercentEncoding(path, CharacterSet::urlPathAllowed());
}

bool URLComponents::setPercentEncodedPath(std::string path) {
  if (!URLParser::isPercentEncoded(path, writtenPathAllowed())) return false;
  parts_.path = std::move(path);
  return true;
}

std::optional<std::string> URLComponents::query() const {
  if (!parts_.query) return std::nullopt;
  return URLParser::decoded(*parts_.query);
}

void URLComponents::setQuery(std::optional<std::string_view> query) {
  if (!query) {
    parts_.query.reset();
    return;
  }
  parts_.query = addingPercentEncoding(*query, CharacterSet::urlQueryAllowed());
}

bool URLComponents::setPercentEncodedQuery(std::optional<std::string> query) {
  if (query && !URLParser::isPercentEncoded(*query, CharacterSet::urlQueryAllowed())) return false;
  parts_.query = std::move(query);
  return true;
}

std::optional<std::vector<URLQueryItem>> URLComponents::queryItems() const {
  auto items = percentEncodedQueryItems();
  if (!items) return std::nullopt;
  for (auto& item : *items) {
    item.name = URLParser::decoded(item.name);
    if (item.value) item.value = URLParser::decoded(*item.value);
  }
  return items;
}

void URLComponents::setQueryItems(std::optional<std::vector<URLQueryItem>> items) {
  if (!items) {
    parts_.query.reset();
    return;
  }
  for (auto& item : *items) {
    item.name = addingPercentEncoding(item.name, queryNameAllowed());
    if (item.value) item.value = addingPercentEncoding(*item.value, queryValueAllowed());
  }
  parts_.query = joinQuery(*items);
}

std::optional<std::vector<URLQueryItem>> URLComponents::percentEncodedQueryItems() const {
  if (!parts_.query) return std::nullopt;
  if (parts_.query->empty()) return std::vector<URLQueryItem>{};
  return splitQuery(*parts_.query);
}

bool URLComponents::setPercentEncodedQueryItems(std::optional<std::vector<URLQueryItem>> items) {
  if (!items) {
    parts_.query.reset();
    return true;
  }
  for (const auto& item : *items) {
    if (!URLParser::isPercentEncoded(item.name, queryNameAllowed())) return false;
    if (item.value && !URLParser::isPercentEncoded(*item.value, queryValueAllowed())) return false;
  }
  parts_.query = joinQuery(*items);
  return true;
}

std::optional<std::string> URLComponents::fragment() const {
  if (!parts_.fragment) return std::nullopt;
  return URLParser::decoded(*parts_.fragment);
}

void URLComponents::setFragment(std::optional<std::string_view> fragment) {
  if (!fragment) {
    parts_.fragment.reset();
    return;
  }
  parts_.fragment = addingPercentEncoding(*fragment, CharacterSet::urlFragmentAllowed());
}

}  // namespace Foundation
