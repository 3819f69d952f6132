#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <UIKit/UIColor.hpp>
#include <UIKit/UIKeyboardType.hpp>
#include <UIKit/UITextField.hpp>
#include <UIKit/UIView.hpp>

namespace ZentrelSDK {

// The kit's underlined one-line input, laid out by the interface file "ZTTextFieldView".
// It keeps a copy of the typed text, colours the underline by whether that text is empty,
// hands the focus to a next responder on Return and tells its screen about edits and Return.
// Interface files may name it by its class.
class ZTTextFieldView : public UIKit::UIView {
 public:
  explicit ZTTextFieldView(UIKit::CGRect frame = {});

  // Refreshed after each edit of the inner field; writing it changes nothing else.
  std::optional<std::string> text;
  // Outlets, held weakly: the loaded content view owns them.
  std::weak_ptr<UIKit::UITextField> textField;
  std::weak_ptr<UIKit::UIView> bottomLine;

  // Keyboard, placeholder (in the placeholder colour) and secure entry; starts listening to
  // the inner field and colours the underline.
  void configureTextField(UIKit::UIKeyboardType contentType, const std::string& placeholder = "",
                          bool isSecured = false);
  // The next responder: the other view's inner field (none if it has not loaded one).
  void addNextTextField(const std::shared_ptr<ZTTextFieldView>& next);
  void addNextTextField(const std::shared_ptr<UIKit::UITextField>& next);
  // Taken only when it can become first responder; otherwise the earlier one stays.
  void addNextTextField(const std::shared_ptr<UIKit::UIResponder>& next);
  // Run after Return, once the focus has moved on or the keyboard has gone.
  void addCallbackOnEnding(std::function<void()> callback);
  // Told after each edit whether the text is non-empty.
  void addCallbackEditingNotEmpty(std::function<void(bool)> callback);

  void bindInterface(UIKit::InterfaceBinder& binder) override;

 private:
  void commonInit();
  void textFieldDidChange(UIKit::UITextField& sender);
  void editingDidEnd(UIKit::UITextField& sender);
  void configureUI();
  bool textIsEmpty() const;

  std::weak_ptr<UIKit::UIResponder> nextTextField;
  std::function<void()> callbackOnEnd;
  std::function<void(bool)> callbackNotEmpty;
  UIKit::UIColor placeholderColor{103 / 255.0, 112 / 255.0, 121 / 255.0, 1};
};

}  // namespace ZentrelSDK
