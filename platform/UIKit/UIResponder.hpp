#pragma once

#include <memory>
#include <string>

namespace UIKit {

class InterfaceBinder;

// Base of views and view controllers: the responder chain and the one first responder.
// Objects of this family live in std::shared_ptr (make_shared); the platform hands out
// references to them from shared_from_this. Main thread only.
class UIResponder : public std::enable_shared_from_this<UIResponder> {
 public:
  UIResponder() = default;
  virtual ~UIResponder();
  UIResponder(const UIResponder&) = delete;
  UIResponder& operator=(const UIResponder&) = delete;

  // Swift `next`.
  virtual std::shared_ptr<UIResponder> nextResponder() const { return nullptr; }

  virtual bool canBecomeFirstResponder() const { return false; }
  virtual bool canResignFirstResponder() const { return true; }
  // The responder before it resigns first; a responder that takes key input (UIKeyInput)
  // brings up the keyboard, which posts its will-show notification.
  virtual bool becomeFirstResponder();
  virtual bool resignFirstResponder();
  bool isFirstResponder() const;
  static std::shared_ptr<UIResponder> currentFirstResponder();

  // The standard edit actions by selector ("paste:", "copy:", ...): whether this responder
  // does it now, and doing it. None by default.
  virtual bool canPerformAction(const std::string& /*action*/) const { return false; }
  // Calls the edit method of that name; false for an unknown selector.
  bool perform(const std::string& action);
  virtual void cut() {}
  virtual void copy() {}
  virtual void paste() {}
  virtual void select() {}
  virtual void selectAll() {}
  virtual void deleteSelection() {}

  // Called by the interface loader on the file's owner: connect outlets and actions by name.
  virtual void bindInterface(InterfaceBinder& /*binder*/) {}

  // The platform's description: "<ClassName: 0x...>".
  virtual std::string description() const;
  // The unqualified name of the object's dynamic class.
  std::string className() const;

 protected:
  // Null for an object that no shared_ptr holds (one on the stack, or being destroyed).
  template <class T>
  std::shared_ptr<T> sharedAs() {
    return std::static_pointer_cast<T>(weak_from_this().lock());
  }
  template <class T>
  std::weak_ptr<T> weakAs() {
    return std::static_pointer_cast<T>(weak_from_this().lock());
  }
  // Hooks around first-responder changes, after the change.
  virtual void didBecomeFirstResponder() {}
  virtual void didResignFirstResponder() {}
};

}  // namespace UIKit
