#pragma once

#include <string>
#include <string_view>

namespace Foundation {

// Swift `lowercased()` / `uppercased()` of a UTF-8 text, with the en-US rules of the C.UTF-8
// locale, one character to one: "ß" stays "ß" upper-cased and "İ" lowers to "i", where
// Swift's full mappings give "SS" and "i̇". Bytes that are not UTF-8 pass through unchanged.
// Any thread.
std::string lowercased(std::string_view text);
std::string uppercased(std::string_view text);

}  // namespace Foundation
