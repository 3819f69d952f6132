#include "UIKit/UIKeyboard.hpp"

#include <any>
#include <map>

#include "Dispatch/DispatchQueue.hpp"
#include "Foundation/NotificationCenter.hpp"
#include "UIKit/UIScreen.hpp"

namespace UIKit {

namespace {
CGRect hiddenFrame() {
  const CGRect screen = UIScreen::main().bounds();
  return CGRect::make(0, screen.maxY(), screen.width(), UIKeyboard::height);
}

void post(const std::string& name, CGRect begin, CGRect end) {
  std::map<std::string, std::any> info{
      {UIKeyboardFrameBeginUserInfoKey, begin},
      {UIKeyboardFrameEndUserInfoKey, end},
      {UIKeyboardAnimationDurationUserInfoKey, UIKeyboard::animationDuration}};
  Foundation::NotificationCenter::defaultCenter().post(name, std::nullopt, std::move(info));
}
}  // namespace

UIKeyboard& UIKeyboard::shared() {
  static UIKeyboard keyboard;
  return keyboard;
}

CGRect UIKeyboard::shownFrame() const {
  const CGRect screen = UIScreen::main().bounds();
  return CGRect::make(0, screen.maxY() - height, screen.width(), height);
}

void UIKeyboard::show(UIKeyboardType type) {
  keyboardType_ = type;
  // Focus moving between fields announces the keyboard again, as the platform does.
  const CGRect begin = visible_ ? shownFrame() : hiddenFrame();
  visible_ = true;
  post(UIKeyboardWillShowNotification, begin, shownFrame());
  Dispatch::DispatchQueue::main().asyncAfter(animationDuration, [begin] {
    if (shared().visible_) post(UIKeyboardDidShowNotification, begin, shared().shownFrame());
  });
}

void UIKeyboard::hide() {
  if (!visible_) return;
  visible_ = false;
  post(UIKeyboardWillHideNotification, shownFrame(), hiddenFrame());
  Dispatch::DispatchQueue::main().asyncAfter(animationDuration, [] {
    if (!shared().visible_)
      post(UIKeyboardDidHideNotification, shared().shownFrame(), hiddenFrame());
  });
}

}  // namespace UIKit
