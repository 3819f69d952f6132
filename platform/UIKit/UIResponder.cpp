#include "UIKit/UIResponder.hpp"

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <typeinfo>

#include "UIKit/UIKeyInput.hpp"
#include "UIKit/UIKeyboard.hpp"
#include "UIKit/UITextInputTraits.hpp"

namespace UIKit {

namespace {
std::weak_ptr<UIResponder>& firstResponder() {
  static std::weak_ptr<UIResponder> responder;
  return responder;
}
// The same responder's address: a weak_ptr cannot tell its object apart once it has expired.
const UIResponder* firstResponderAddress = nullptr;
// Set while one responder hands over to the next, so the keyboard does not bounce.
bool handingOver = false;
}  // namespace

UIResponder::~UIResponder() {
  // Released while it had the focus: nobody has it now, and the keyboard goes.
  if (firstResponderAddress != this) return;
  firstResponder().reset();
  firstResponderAddress = nullptr;
  if (UIKeyboard::shared().isVisible()) UIKeyboard::shared().hide();
}

std::shared_ptr<UIResponder> UIResponder::currentFirstResponder() {
  return firstResponder().lock();
}

bool UIResponder::isFirstResponder() const {
  auto current = firstResponder().lock();
  return current && current.get() == this;
}

bool UIResponder::becomeFirstResponder() {
  if (isFirstResponder()) return true;
  if (!canBecomeFirstResponder()) return false;
  if (auto current = currentFirstResponder()) {
    handingOver = true;
    const bool resigned = current->resignFirstResponder();
    handingOver = false;
    if (!resigned) return false;
  }
  firstResponder() = weak_from_this();
  firstResponderAddress = this;
  didBecomeFirstResponder();
  auto& keyboard = UIKeyboard::shared();
  if (dynamic_cast<UIKeyInput*>(this)) {
    const auto* traits = dynamic_cast<const UITextInputTraits*>(this);
    keyboard.show(traits ? traits->keyboardType() : UIKeyboardType::defaultType);
  } else if (keyboard.isVisible()) {
    keyboard.hide();
  }
  return true;
}

bool UIResponder::resignFirstResponder() {
  if (!isFirstResponder()) return true;
  if (!canResignFirstResponder()) return false;
  firstResponder().reset();
  firstResponderAddress = nullptr;
  didResignFirstResponder();
  if (!handingOver && UIKeyboard::shared().isVisible()) UIKeyboard::shared().hide();
  return true;
}

bool UIResponder::perform(const std::string& action) {
  auto keep = weak_from_this().lock();
  if (action == "cut:") {
    cut();
  } else if (action == "copy:") {
    copy();
  } else if (action == "paste:") {
    paste();
  } else if (action == "select:") {
    select();
  } else if (action == "selectAll:") {
    selectAll();
  } else if (action == "delete:") {
    deleteSelection();
  } else {
    return false;
  }
  return true;
}

std::string UIResponder::className() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = (status == 0 && demangled) ? demangled : mangled;
  std::free(demangled);
  if (const auto colon = name.rfind("::"); colon != std::string::npos) name.erase(0, colon + 2);
  return name;
}

std::string UIResponder::description() const {
  char address[32];
  std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
  return "<" + className() + ": " + address + ">";
}

}  // namespace UIKit
