#pragma once

#include <string>

namespace ZentrelSDK {

// Why the code card gave no code: the user cancelled it.
struct ZTValidationError {
  enum class Case { cancelled };
  Case kind = Case::cancelled;

  static ZTValidationError cancelled() { return {}; }
  std::string localizedDescription() const;
  bool operator==(const ZTValidationError&) const = default;
};

}  // namespace ZentrelSDK
