#include "ZTUtilites/ZTValidators.hpp"

#include <string_view>

#include <Foundation/NSRegularExpression.hpp>

namespace ZentrelSDK {

namespace {

constexpr std::string_view kEmailPattern = R"([A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\.[A-Za-z]{2,64})";
constexpr std::string_view kPasswordPattern = "[A-Z0-9a-z._%+-]{8,30}";
constexpr std::string_view kCodePattern = "[A-Z0-9a-z._%+-]{6,8}";

bool matches(const std::optional<std::string>& text, std::string_view pattern) {
  if (!text) return false;
  return Foundation::matchesWholePattern(*text, pattern);
}

}  // namespace

bool ZTValidators::validateEmail(const std::optional<std::string>& text) {
  return matches(text, kEmailPattern);
}

bool ZTValidators::validatePassword(const std::optional<std::string>& text) {
  return matches(text, kPasswordPattern);
}

bool ZTValidators::validateCode(const std::optional<std::string>& text) {
  return matches(text, kCodePattern);
}

}  // namespace ZentrelSDK
