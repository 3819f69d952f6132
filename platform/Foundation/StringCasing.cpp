#include "Foundation/StringCasing.hpp"

#include <cstdint>
#include <locale>
#include <stdexcept>

namespace Foundation {

namespace {

// The one locale object is immutable, so every thread may read it.
const std::ctype<wchar_t>& casing() {
  static const std::locale locale = [] {
    try {
      return std::locale("C.UTF-8");
    } catch (const std::runtime_error&) {
      return std::locale::classic();  // ASCII only where C.UTF-8 is missing
    }
  }();
  return std::use_facet<std::ctype<wchar_t>>(locale);
}

// The code point at `i` and its length in bytes; length 0 for a byte that does not start a
// well-formed sequence.
std::pair<char32_t, std::size_t> decode(std::string_view text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  std::size_t length = lead < 0x80           ? 1
                       : (lead >> 5) == 0x6  ? 2
                       : (lead >> 4) == 0xE  ? 3
                       : (lead >> 3) == 0x1E ? 4
                                             : 0;
  if (length == 0 || i + length > text.size()) return {0, 0};
  char32_t code = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return {0, 0};
    code = (code << 6) | (next & 0x3F);
  }
  return {code, length};
}

void encode(char32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

template <class Map>
std::string mapped(std::string_view text, Map map) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto [code, length] = decode(text, i);
    if (length == 0) {
      out += text[i++];
      continue;
    }
    encode(static_cast<char32_t>(map(static_cast<wchar_t>(code))), out);
    i += length;
  }
  return out;
}

}  // namespace

std::string lowercased(std::string_view text) {
  return mapped(text, [](wchar_t c) { return casing().tolower(c); });
}

std::string uppercased(std::string_view text) {
  return mapped(text, [](wchar_t c) { return casing().toupper(c); });
}

}  // namespace Foundation
