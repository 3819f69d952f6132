#include "UIKit/UITextField.hpp"

#include "Foundation/NotificationCenter.hpp"
#include "UIKit/InterfaceCoder.hpp"
#include "UIKit/UIPasteboard.hpp"
#include "UIKit/UITouch.hpp"
#include "UIKit/UTF16.hpp"

namespace UIKit {

UITextField::UITextField(CGRect frame) : UIControl(frame) {}

std::optional<std::string> UITextField::placeholder() const {
  if (!attributedPlaceholder_) return std::nullopt;
  return attributedPlaceholder_->string();
}

void UITextField::setPlaceholder(std::optional<std::string> placeholder) {
  if (placeholder) {
    attributedPlaceholder_ = NSAttributedString(*placeholder);
  } else {
    attributedPlaceholder_.reset();
  }
}

bool UITextField::canBecomeFirstResponder() const {
  return isEnabled() && window() != nullptr;
}

bool UITextField::becomeFirstResponder() {
  if (isFirstResponder()) return true;
  if (!canBecomeFirstResponder()) return false;
  if (auto d = delegate(); d && !d->textFieldShouldBeginEditing(*this)) return false;
  return UIControl::becomeFirstResponder();
}

bool UITextField::resignFirstResponder() {
  if (!isFirstResponder()) return true;
  if (auto d = delegate(); d && !d->textFieldShouldEndEditing(*this)) return false;
  return UIControl::resignFirstResponder();
}

void UITextField::didBecomeFirstResponder() {
  auto keep = weak_from_this().lock();
  editing_ = true;
  if (auto d = delegate()) d->textFieldDidBeginEditing(*this);
  sendActions(Event::editingDidBegin);
}

void UITextField::didResignFirstResponder() {
  auto keep = weak_from_this().lock();
  editing_ = false;
  if (auto d = delegate()) d->textFieldDidEndEditing(*this);
  sendActions(Event::editingDidEnd);
}

void UITextField::replace(NSRange range, const std::string& replacement) {
  auto keep = sharedAs<UITextField>();
  if (auto d = delegate(); d && !d->shouldChangeCharacters(*this, range, replacement)) return;
  std::u16string units = utf16(text_);
  if (range.upperBound() > units.size()) return;
  units.replace(range.location, range.length, utf16(replacement));
  text_ = utf8(units);
  sendActions(Event::editingChanged);
  std::optional<Foundation::Any> sender;
  if (keep) sender = Foundation::Any(keep);
  Foundation::NotificationCenter::defaultCenter().post(textDidChangeNotification, sender);
}

void UITextField::insertText(const std::string& text) {
  if (text == "\n") {
    pressReturn();
    return;
  }
  replace({utf16Length(text_), 0}, text);
}

bool UITextField::canPerformAction(const std::string& action) const {
  if (!isFirstResponder()) return false;
  if (action == "paste:") return UIPasteboard::general().hasStrings();
  if (action == "copy:" || action == "cut:") return !secure_ && !text_.empty();
  return false;
}

void UITextField::paste() {
  if (auto text = UIPasteboard::general().string()) replace({utf16Length(text_), 0}, *text);
}

void UITextField::copy() {
  if (!secure_ && !text_.empty()) UIPasteboard::general().setString(text_);
}

void UITextField::cut() {
  if (secure_ || text_.empty()) return;
  UIPasteboard::general().setString(text_);
  replace({0, utf16Length(text_)}, "");
}

void UITextField::deleteBackward() {
  const std::u16string units = utf16(text_);
  const auto last = lastCodePointLength(units);
  if (last == 0) return;
  replace({units.size() - last, last}, "");
}

void UITextField::pressReturn() {
  auto keep = weak_from_this().lock();
  if (auto d = delegate(); d && !d->textFieldShouldReturn(*this)) return;
  const bool dismisses = actionCount(Event::editingDidEndOnExit) > 0;
  sendActions(Event::editingDidEndOnExit);
  if (dismisses && isFirstResponder()) resignFirstResponder();
}

void UITextField::touchesEnded(const UITouch& touch) {
  UIControl::touchesEnded(touch);
  if (pointInside(touch.location(this))) becomeFirstResponder();
}

std::optional<std::string> UITextField::accessibilityLabel() const {
  if (auto label = UIControl::accessibilityLabel()) return label;
  if (text_.empty()) return placeholder();
  if (!secure_) return text_;
  // What the screen shows of a secure entry: a dot per character, never the text.
  std::string dots;
  for (std::size_t i = 0, n = codePoints(text_).size(); i < n; ++i) dots += "\u2022";
  return dots;
}

void UITextField::decodeInterface(InterfaceCoder& coder) {
  UIControl::decodeInterface(coder);
  if (auto text = coder.decodeString("text")) setText(*text);
  if (auto placeholder = coder.decodeString("placeholder")) setPlaceholder(*placeholder);
  if (auto secure = coder.decodeBool("secureTextEntry")) setSecureTextEntry(*secure);
  if (auto font = coder.decodeFont("font")) setFont(*font);
  if (auto color = coder.decodeColor("textColor")) setTextColor(*color);
  if (auto type = coder.decodeNumber("keyboardType")) {
    if (*type >= 0 && *type <= 11) {
      setKeyboardType(static_cast<UIKeyboardType>(static_cast<int>(*type)));
    } else {
      coder.reportError("keyboardType", "no keyboard type has this value");
    }
  }
}

}  // namespace UIKit
