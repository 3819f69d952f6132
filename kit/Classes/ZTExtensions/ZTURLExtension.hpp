#pragma once

#include <optional>
#include <string>

#include <Foundation/URL.hpp>

namespace ZentrelSDK {

// Swift `url.valueOf(name)`: the decoded value of the first query item named exactly `name`;
// absent when there is no such item, no query, or the item has no "=".
std::optional<std::string> valueOf(const Foundation::URL& url, const std::string& name);

}  // namespace ZentrelSDK
