#include "Foundation/CharacterSet.hpp"

#include <climits>

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "Foundation/Data.hpp"
#include "Foundation/Hex.hpp"

namespace Foundation {

namespace {

constexpr std::string_view kAlphanumerics =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::string_view kUnreserved = "-._~";
constexpr std::string_view kSubDelims = "!$&'()*+,;=";

CharacterSet make(std::string_view extra, std::string_view without = {}) {
  return CharacterSet::charactersIn(kAlphanumerics)
      .unioning(CharacterSet::charactersIn(kUnreserved))
      .unioning(CharacterSet::charactersIn(kSubDelims))
      .unioning(CharacterSet::charactersIn(extra))
      .subtracting(without);
}

}  // namespace

CharacterSet CharacterSet::charactersIn(std::string_view ascii) {
  CharacterSet set;
  for (const char c : ascii) {
    if (static_cast<unsigned char>(c) < 0x80) set.bits_.set(static_cast<unsigned char>(c));
  }
  return set;
}

const CharacterSet& CharacterSet::urlQueryAllowed() {
  static const CharacterSet set = make(":@/?");
  return set;
}
const CharacterSet& CharacterSet::urlFragmentAllowed() {
  return urlQueryAllowed();
}
const CharacterSet& CharacterSet::urlPathAllowed() {
  static const CharacterSet set = make(":@/", ";");
  return set;
}
const CharacterSet& CharacterSet::urlHostAllowed() {
  static const CharacterSet set = make(":[]");
  return set;
}
const CharacterSet& CharacterSet::urlUserAllowed() {
  static const CharacterSet set = make("");
  return set;
}
const CharacterSet& CharacterSet::urlPasswordAllowed() {
  return urlUserAllowed();
}
const CharacterSet& CharacterSet::alphanumerics() {
  static const CharacterSet set = charactersIn(kAlphanumerics);
  return set;
}

const CharacterSet& CharacterSet::decimalDigits() {
  static const CharacterSet set = [] {
    auto digits = charactersIn("0123456789");
    digits.categories_ = U_GC_ND_MASK;
    return digits;
  }();
  return set;
}

bool CharacterSet::contains(char32_t scalar) const {
  if (scalar < 0x80) return bits_.test(scalar);
  return (U_GET_GC_MASK(static_cast<UChar32>(scalar)) & categories_) != 0;
}

bool CharacterSet::isSupersetOfCharacters(std::string_view utf8) const {
  if (utf8.size() > static_cast<std::size_t>(INT32_MAX)) return false;  // beyond ICU's indices
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8.data());
  const auto length = static_cast<std::int32_t>(utf8.size());
  for (std::int32_t i = 0; i < length;) {
    UChar32 scalar = 0;
    U8_NEXT(bytes, i, length, scalar);
    if (scalar < 0 || !contains(static_cast<char32_t>(scalar))) return false;
  }
  return true;
}

CharacterSet CharacterSet::subtracting(const CharacterSet& other) const {
  CharacterSet set;
  set.bits_ = bits_ & ~other.bits_;
  set.categories_ = categories_ & ~other.categories_;
  return set;
}

CharacterSet CharacterSet::unioning(const CharacterSet& other) const {
  CharacterSet set;
  set.bits_ = bits_ | other.bits_;
  set.categories_ = categories_ | other.categories_;
  return set;
}

std::string addingPercentEncoding(std::string_view text, const CharacterSet& allowed) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (allowed.contains(c)) {
      out += c;
    } else {
      const auto b = static_cast<unsigned char>(c);
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 0x0F];
    }
  }
  return out;
}

std::optional<std::string> removingPercentEncoding(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int hi = hexValue(text[i + 1]);
    const int lo = hexValue(text[i + 2]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out += static_cast<char>(hi << 4 | lo);
    i += 2;
  }
  if (!isValidUTF8(out)) return std::nullopt;
  return out;
}

}  // namespace Foundation
