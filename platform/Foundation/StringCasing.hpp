#pragma once

#include <string>
#include <string_view>

namespace Foundation {

// Swift `lowercased()` / `uppercased()` of a UTF-8 text, with the en-US rules of the C.UTF-8
// locale, character by character. Bytes that are not UTF-8 pass through unchanged. Any thread.
std::string lowercased(std::string_view text);
std::string uppercased(std::string_view text);

}  // namespace Foundation
