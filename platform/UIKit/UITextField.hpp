#pragma once

#include <memory>
#include <optional>
#include <string>

#include "UIKit/NSAttributedString.hpp"
#include "UIKit/UIControl.hpp"
#include "UIKit/UIKeyInput.hpp"
#include "UIKit/UIKeyboardType.hpp"
#include "UIKit/UITextFieldDelegate.hpp"
#include "UIKit/UITextInputTraits.hpp"

namespace UIKit {

// A one-line text input. A tap makes it first responder (bringing up the keyboard); typed
// text goes through the delegate and then sends editingChanged; Return asks the delegate and
// sends editingDidEndOnExit, after which the field resigns when anything listens to that
// event. Setting the text in code sends no event.
class UITextField : public UIControl, public UIKeyInput, public UITextInputTraits {
 public:
  enum class ViewMode { never = 0, whileEditing = 1, unlessEditing = 2, always = 3 };
  static inline const std::string textDidChangeNotification =
      "UITextFieldTextDidChangeNotification";

  explicit UITextField(CGRect frame = {});

  // Never absent on the platform: an empty field reads "".
  const std::string& text() const { return text_; }
  void setText(std::optional<std::string> text) { text_ = text.value_or(""); }
  std::optional<std::string> placeholder() const;
  void setPlaceholder(std::optional<std::string> placeholder);
  const std::optional<NSAttributedString>& attributedPlaceholder() const {
    return attributedPlaceholder_;
  }
  void setAttributedPlaceholder(std::optional<NSAttributedString> placeholder) {
    attributedPlaceholder_ = std::move(placeholder);
  }
  bool isSecureTextEntry() const { return secure_; }
  void setSecureTextEntry(bool secure) { secure_ = secure; }
  UIKeyboardType keyboardType() const override { return keyboardType_; }
  void setKeyboardType(UIKeyboardType type) { keyboardType_ = type; }
  const UIFont& font() const { return font_; }
  void setFont(UIFont font) { font_ = std::move(font); }
  const UIColor& textColor() const { return textColor_; }
  void setTextColor(UIColor color) { textColor_ = color; }
  std::shared_ptr<UITextFieldDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<UITextFieldDelegate> delegate) { delegate_ = std::move(delegate); }
  bool isEditing() const { return editing_; }

  // Held strongly, as the platform does.
  const std::shared_ptr<UIView>& leftView() const { return leftView_; }
  void setLeftView(std::shared_ptr<UIView> view) { leftView_ = std::move(view); }
  ViewMode leftViewMode() const { return leftViewMode_; }
  void setLeftViewMode(ViewMode mode) { leftViewMode_ = mode; }
  const std::shared_ptr<UIView>& rightView() const { return rightView_; }
  void setRightView(std::shared_ptr<UIView> view) { rightView_ = std::move(view); }
  ViewMode rightViewMode() const { return rightViewMode_; }
  void setRightViewMode(ViewMode mode) { rightViewMode_ = mode; }

  // UIKeyInput.
  bool hasText() const override { return !text_.empty(); }
  void insertText(const std::string& text) override;
  void deleteBackward() override;

  // Paste while focused and the pasteboard has text; copy and cut of a visible text.
  bool canPerformAction(const std::string& action) const override;
  // Inserts the pasteboard's text at the end, through the delegate.
  void paste() override;
  void copy() override;
  void cut() override;

  // Only an enabled field in a window can take the focus.
  bool canBecomeFirstResponder() const override;
  bool becomeFirstResponder() override;
  bool resignFirstResponder() override;

  void touchesEnded(const UITouch& touch) override;
  // The text, or the placeholder while empty.
  std::optional<std::string> accessibilityLabel() const override;
  void decodeInterface(InterfaceCoder& coder) override;

 protected:
  void didBecomeFirstResponder() override;
  void didResignFirstResponder() override;

 private:
  void pressReturn();
  void replace(NSRange range, const std::string& replacement);

  std::string text_;
  std::optional<NSAttributedString> attributedPlaceholder_;
  bool secure_ = false;
  UIKeyboardType keyboardType_ = UIKeyboardType::defaultType;
  UIFont font_ = UIFont::systemFont(17);
  UIColor textColor_ = UIColor::black();
  std::weak_ptr<UITextFieldDelegate> delegate_;
  bool editing_ = false;
  std::shared_ptr<UIView> leftView_;
  std::shared_ptr<UIView> rightView_;
  ViewMode leftViewMode_ = ViewMode::never;
  ViewMode rightViewMode_ = ViewMode::never;
};

}  // namespace UIKit
