#include "Foundation/URL.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace Foundation {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool needsHost(std::string_view scheme) {
  for (const auto s : {"http", "https", "ws", "wss"}) {
    if (equalsIgnoringCase(scheme, s)) return true;
  }
  return false;
}

bool isDirectoryOnDisk(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

}  // namespace

std::optional<URL> URL::string(std::string_view text) {
  if (text.empty()) return std::nullopt;
  auto parts = URLParser::parse(text);
  if (!parts || !parts->scheme) return std::nullopt;
  if (needsHost(*parts->scheme) && parts->host.value_or("").empty()) return std::nullopt;
  return URL(std::string(text), std::move(*parts));
}

URL URL::fileURLWithPath(std::string_view path, std::optional<bool> isDirectory) {
  std::string absolute(path);
  if (absolute.empty() || absolute.front() != '/') {
    std::error_code ec;
    auto cwd = std::filesystem::current_path(ec);
    absolute = ((ec ? std::filesystem::path("/") : cwd) / absolute).string();
  }
  const bool directory = isDirectory ? *isDirectory : isDirectoryOnDisk(absolute);
  if (directory && absolute.back() != '/') absolute += '/';
  URLParts parts;
  parts.scheme = "file";
  parts.host = "";
  parts.path = addingPercentEncoding(absolute, CharacterSet::urlPathAllowed());
  auto text = URLParser::build(parts);
  return URL(std::move(*text), std::move(parts));
}

std::optional<std::string> URL::host() const {
  if (!parts().host || parts().host->empty()) return std::nullopt;
  std::string_view h = *parts().host;
  if (h.size() >= 2 && h.front() == '[' && h.back() == ']') h = h.substr(1, h.size() - 2);
  return URLParser::decoded(h);
}

std::string URL::path() const {
  auto p = URLParser::decoded(parts().path);
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

std::string URL::lastPathComponent() const {
  const auto p = path();
  if (p.empty() || p == "/") return p;
  const auto slash = p.rfind('/');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::vector<std::string> URL::pathComponents() const {
  const auto p = path();
  std::vector<std::string> components;
  if (p.empty()) return components;
  if (p.front() == '/') components.emplace_back("/");
  std::size_t start = 0;
  while (start <= p.size()) {
    auto end = p.find('/', start);
    if (end == std::string::npos) end = p.size();
    if (end > start) components.push_back(p.substr(start, end - start));
    start = end + 1;
  }
  return components;
}

URL URL::appendingPathComponent(std::string_view component, std::optional<bool> isDirectory) const {
  URLParts parts = this->parts();
  std::string& p = parts.path;
  if (!component.empty()) {
    if (!p.empty() && p.back() != '/') p += '/';
    if (p.empty() && parts.hasAuthority()) p = "/";
    while (!component.empty() && component.front() == '/' && !p.empty() && p.back() == '/')
      component.remove_prefix(1);
    p += addingPercentEncoding(component, CharacterSet::urlPathAllowed());
  }
  const bool directory =
      isDirectory ? *isDirectory : (isFileURL() && isDirectoryOnDisk(URLParser::decoded(p)));
  if (directory && !p.empty() && p.back() != '/') p += '/';
  auto text = URLParser::build(parts);
  if (!text) return *this;
  return URL(std::move(*text), std::move(parts));
}

bool URL::isFileURL() const {
  return parts().scheme && equalsIgnoringCase(*parts().scheme, "file");
}

}  // namespace Foundation
