#pragma once

#include <string>

namespace UIKit {

// What a responder that takes typed text offers the keyboard. Return arrives as "\n".
class UIKeyInput {
 public:
  virtual ~UIKeyInput() = default;
  virtual bool hasText() const = 0;
  virtual void insertText(const std::string& text) = 0;
  virtual void deleteBackward() = 0;
};

}  // namespace UIKit
