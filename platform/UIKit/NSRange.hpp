#pragma once

#include <cstddef>

namespace UIKit {

// A range of UTF-16 units in a text.
struct NSRange {
  std::size_t location = 0;
  std::size_t length = 0;

  std::size_t upperBound() const { return location + length; }
  bool operator==(const NSRange&) const = default;
};

}  // namespace UIKit
