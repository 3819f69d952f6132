#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace UIKit {

// Text lengths and ranges on the platform count UTF-16 code units. Invalid UTF-8 bytes count
// as one replacement character each.
std::u16string utf16(std::string_view utf8);
std::string utf8(std::u16string_view units);
std::size_t utf16Length(std::string_view utf8);
// The text split into code points, each as UTF-8 (what a keyboard sends key by key).
std::vector<std::string> codePoints(std::string_view utf8);
// UTF-16 units of the last code point (2 for a surrogate pair), 0 for an empty text.
std::u16string::size_type lastCodePointLength(std::u16string_view units);

}  // namespace UIKit
