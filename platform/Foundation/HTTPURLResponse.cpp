#include "Foundation/HTTPURLResponse.hpp"

#include <strings.h>
#include <algorithm>
#include <cctype>
#include <charconv>

namespace Foundation {

namespace {

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return std::string(text);
}

std::string lowered(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

const std::string* find(const std::vector<std::pair<std::string, std::string>>& fields,
                        std::string_view name) {
  for (const auto& [n, v] : fields) {
    if (sameName(n, name)) return &v;
  }
  return nullptr;
}

std::vector<std::pair<std::string, std::string>> joined(
    const std::vector<std::pair<std::string, std::string>>& fields) {
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& field : fields) {
    const auto& [name, value] = field;
    auto it = std::find_if(out.begin(), out.end(),
                           [&](const auto& f) { return sameName(f.first, field.first); });
    if (it == out.end()) {
      out.emplace_back(name, value);
    } else {
      it->second += ", " + value;
    }
  }
  return out;
}

std::int64_t contentLength(const std::vector<std::pair<std::string, std::string>>& fields) {
  const std::string* text = find(fields, "Content-Length");
  if (!text) return -1;
  const std::string value = trimmed(*text);
  std::int64_t n = -1;
  auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
  if (ec != std::errc() || end != value.data() + value.size() || n < 0) return -1;
  return n;
}

// "text/html; charset=UTF-8" -> ("text/html", "utf-8")
std::pair<std::optional<std::string>, std::optional<std::string>> contentType(
    const std::vector<std::pair<std::string, std::string>>& fields) {
  const std::string* text = find(fields, "Content-Type");
  if (!text) return {};
  std::string_view rest(*text);
  auto semi = rest.find(';');
  std::string mime = lowered(trimmed(rest.substr(0, semi)));
  std::optional<std::string> charset;
  while (semi != std::string_view::npos) {
    rest = rest.substr(semi + 1);
    semi = rest.find(';');
    const std::string param = trimmed(rest.substr(0, semi));
    const auto eq = param.find('=');
    if (eq == std::string::npos || lowered(trimmed(param.substr(0, eq))) != "charset") continue;
    std::string value = trimmed(param.substr(eq + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    charset = lowered(value);
  }
  return {mime.empty() ? std::nullopt : std::optional<std::string>(mime), charset};
}

}  // namespace

HTTPURLResponse::HTTPURLResponse(URL url, int statusCode, std::optional<std::string> httpVersion,
                                 const std::vector<std::pair<std::string, std::string>>& fields)
    : URLResponse(std::move(url), contentType(fields).first, contentLength(fields),
                  contentType(fields).second),
      statusCode_(statusCode),
      httpVersion_(std::move(httpVersion)),
      fields_(joined(fields)) {}

std::optional<std::string> HTTPURLResponse::value(std::string_view field) const {
  if (const std::string* v = find(fields_, field)) return *v;
  return std::nullopt;
}

std::map<std::string, std::string> HTTPURLResponse::allHeaderFields() const {
  return {fields_.begin(), fields_.end()};
}

}  // namespace Foundation
