#pragma once

#include <compare>

namespace UIKit {

// Swift `IndexPath` as lists use it: a row (or item) in a section.
struct IndexPath {
  int row = 0;
  int section = 0;
  int item() const { return row; }
  static IndexPath forItem(int item, int section) { return {item, section}; }
  auto operator<=>(const IndexPath&) const = default;
};

}  // namespace UIKit
