#pragma once

#include <optional>
#include <string>

namespace ZentrelSDK {

// Early checks of what the user typed; the server stays the judge. Each pattern must match
// the whole text; an absent text is never valid.
class ZTValidators {
 public:
  ZTValidators() = default;

  static bool validateEmail(const std::optional<std::string>& text);
  static bool validatePassword(const std::optional<std::string>& text);
  static bool validateCode(const std::optional<std::string>& text);
};

}  // namespace ZentrelSDK
