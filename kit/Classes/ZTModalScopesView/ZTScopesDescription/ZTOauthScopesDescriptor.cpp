#include "ZTModalScopesView/ZTScopesDescription/ZTOauthScopesDescriptor.hpp"

#include "ZTModalScopesView/ZTScopesDescription/ZTScopesDictionary.hpp"

namespace ZentrelSDK {

namespace {

// Every ":" splits, so "a::b" has an empty middle component and "" is one empty component.
std::vector<std::string> components(const std::string& scope) {
  std::vector<std::string> parts;
  std::string::size_type start = 0;
  while (true) {
    const auto colon = scope.find(':', start);
    if (colon == std::string::npos) {
      parts.push_back(scope.substr(start));
      return parts;
    }
    parts.push_back(scope.substr(start, colon - start));
    start = colon + 1;
  }
}

}  // namespace

std::vector<std::string> ZTOauthScopesDescriptor::decrypt(
    const std::vector<std::string>& scopeSet) {
  std::vector<std::string> descriptions;
  for (const auto& scope : scopeSet) {
    const auto keys = components(scope);
    if (auto description = getDescriptionRecursively(scopesDictionary(), keys))
      descriptions.push_back(std::move(*description));
  }
  return descriptions;
}

std::optional<std::string> ZTOauthScopesDescriptor::getDescriptionRecursively(
    const nlohmann::json& from, std::span<const std::string> keys) {
  if (keys.empty() || !from.is_object()) return std::nullopt;
  const auto it = from.find(keys.front());
  if (it == from.end()) return std::nullopt;
  if (it->is_object()) return getDescriptionRecursively(*it, keys.subspan(1));
  if (it->is_string()) return it->get<std::string>();
  return std::nullopt;
}

}  // namespace ZentrelSDK
