#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace ZentrelSDK {

// Turns scope strings into the sentences the consent screen lists.
class ZTOauthScopesDescriptor {
 public:
  // One description per scope the tree knows, in input order; unknown scopes are left out.
  // The walk stops at the first description it meets, so trailing components are not read.
  static std::vector<std::string> decrypt(const std::vector<std::string>& scopeSet);

 private:
  static std::optional<std::string> getDescriptionRecursively(const nlohmann::json& from,
                                                              std::span<const std::string> keys);
};

}  // namespace ZentrelSDK
