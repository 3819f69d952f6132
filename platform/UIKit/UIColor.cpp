#include "UIKit/UIColor.hpp"

#include <cctype>
#include <cstdint>

namespace UIKit {

namespace {
std::optional<std::uint8_t> hexByte(std::string_view s) {
  std::uint8_t value = 0;
  for (char c : s) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return std::nullopt;
    }
    value = static_cast<std::uint8_t>(value * 16 + digit);
  }
  return value;
}
}  // namespace

std::optional<UIColor> UIColor::fromText(std::string_view text) {
  if (text == "clear") return clear();
  if (text == "black") return black();
  if (text == "white") return white();
  if (text == "gray") return gray();
  if (text == "lightGray") return lightGray();
  if (text == "darkGray") return darkGray();
  if (text == "red") return red();
  if (text == "green") return green();
  if (text == "blue") return blue();
  if (text.empty() || text.front() != '#') return std::nullopt;
  text.remove_prefix(1);
  if (text.size() != 6 && text.size() != 8) return std::nullopt;
  std::uint8_t bytes[4] = {0, 0, 0, 255};
  for (std::size_t i = 0; i * 2 < text.size(); ++i) {
    auto b = hexByte(text.substr(i * 2, 2));
    if (!b) return std::nullopt;
    bytes[i] = *b;
  }
  return UIColor(bytes[0] / 255.0, bytes[1] / 255.0, bytes[2] / 255.0, bytes[3] / 255.0);
}

bool UIColor::getRed(CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) const {
  if (red) *red = r_;
  if (green) *green = g_;
  if (blue) *blue = b_;
  if (alpha) *alpha = a_;
  return true;
}

}  // namespace UIKit
