#include "Foundation/URLRequest.hpp"

#include <strings.h>
#include <algorithm>

namespace Foundation {

namespace {
bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}
}  // namespace

void URLRequest::setValue(std::optional<std::string> value, std::string_view field) {
  auto it = std::find_if(headers_.begin(), headers_.end(),
                         [&](const auto& h) { return sameName(h.first, field); });
  if (!value) {
    if (it != headers_.end()) headers_.erase(it);
    return;
  }
  if (it != headers_.end()) {
    it->second = std::move(*value);
  } else {
    headers_.emplace_back(std::string(field), std::move(*value));
  }
}

std::optional<std::string> URLRequest::value(std::string_view field) const {
  for (const auto& [name, v] : headers_) {
    if (sameName(name, field)) return v;
  }
  return std::nullopt;
}

std::map<std::string, std::string> URLRequest::allHTTPHeaderFields() const {
  return {headers_.begin(), headers_.end()};
}

void URLRequest::setAllHTTPHeaderFields(const std::map<std::string, std::string>& fields) {
  headers_.clear();
  for (const auto& [name, v] : fields) setValue(v, name);
}

}  // namespace Foundation
