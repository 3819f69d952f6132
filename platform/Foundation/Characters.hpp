#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Foundation {

// Swift's `Character`: what a reader takes for one character, an extended grapheme cluster
// (Unicode UAX #29), such as a letter with its combining marks, a flag or a keycap.
// Ill-formed UTF-8 counts as one character per bad sequence. Any thread.

// Swift `Array(text)`: the characters of the UTF-8 text in order, each as UTF-8.
std::vector<std::string> characters(std::string_view utf8);
// Swift `text.count`.
std::size_t characterCount(std::string_view utf8);
// Swift `text.removeLast()` on a copy: the text without its last character ("" stays "").
std::string droppingLastCharacter(std::string_view utf8);

}  // namespace Foundation
