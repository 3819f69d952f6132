#include "ZTExtensions/ZTURLExtension.hpp"

#include <Foundation/URLComponents.hpp>

namespace ZentrelSDK {

std::optional<std::string> valueOf(const Foundation::URL& url, const std::string& name) {
  const auto components = Foundation::URLComponents::string(url.absoluteString());
  if (!components) return std::nullopt;
  const auto items = components->queryItems();
  if (!items) return std::nullopt;
  for (const auto& item : *items) {
    if (item.name == name) return item.value;
  }
  return std::nullopt;
}

}  // namespace ZentrelSDK
