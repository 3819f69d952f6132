#pragma once

#include <optional>
#include <string>

namespace Foundation {

// Swift's URLQueryItem: "name=value", or "name" alone when value is absent. Not encoded.
struct URLQueryItem {
  std::string name;
  std::optional<std::string> value;

  bool operator==(const URLQueryItem&) const = default;
};

}  // namespace Foundation
