#pragma once

#include <string>

#include "UIKit/NSRange.hpp"

namespace UIKit {

class UITextField;

// Every requirement is optional on the platform; the defaults here are its answers when the
// delegate does not implement one.
class UITextFieldDelegate {
 public:
  virtual ~UITextFieldDelegate() = default;
  virtual bool textFieldShouldBeginEditing(UITextField& /*field*/) { return true; }
  virtual void textFieldDidBeginEditing(UITextField& /*field*/) {}
  virtual bool textFieldShouldEndEditing(UITextField& /*field*/) { return true; }
  virtual void textFieldDidEndEditing(UITextField& /*field*/) {}
  // Swift `textField(_:shouldChangeCharactersIn:replacementString:)`; the range in UTF-16 units.
  virtual bool shouldChangeCharacters(UITextField& /*field*/, NSRange /*range*/,
                                      const std::string& /*replacement*/) {
    return true;
  }
  virtual bool textFieldShouldReturn(UITextField& /*field*/) { return true; }
};

}  // namespace UIKit
