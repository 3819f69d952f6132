#pragma once

#include <string_view>

namespace Foundation {

// NSPredicate "SELF MATCHES pattern": true when the pattern (ECMAScript syntax) matches the
// whole text. An invalid pattern matches nothing. Bytes are matched, so "." is one byte of a
// UTF-8 sequence; the patterns in use are ASCII.
bool matchesWholePattern(std::string_view text, std::string_view pattern);

}  // namespace Foundation
