#pragma once

#include "UIKit/UIKeyboardType.hpp"

namespace UIKit {

// What a responder that takes typed text asks of the keyboard. Of the platform's traits only
// the keyboard type is kept; the others keep the platform's defaults.
class UITextInputTraits {
 public:
  virtual ~UITextInputTraits() = default;
  virtual UIKeyboardType keyboardType() const { return UIKeyboardType::defaultType; }
};

}  // namespace UIKit
