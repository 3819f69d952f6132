#pragma once

#include <memory>
#include <string>
#include <vector>

#include <UIKit/UIKeyInput.hpp>
#include <UIKit/UIKeyboardType.hpp>
#include <UIKit/UILongPressGestureRecognizer.hpp>
#include <UIKit/UITextInputTraits.hpp>
#include <UIKit/UIView.hpp>

#include "ZTUIComponents/ZTVerificationCode/CodeVerificationView.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTSingleCharCodeView.hpp"

namespace ZentrelSDK {

// The six-digit code entry: the keyboard's input target itself (no text field), showing each
// character in a cell of its own, laid out by the interface file "ZTSixDigitsCodeEnterView".
// A tap brings up the number pad; a long press offers Paste, which takes a pasted code of
// decimal digits whole. It tells its owner the code after every change and hides the
// keyboard once the code is complete. Interface files may name it by its class. Main thread
// only.
class ZTSixDigitsCodeEnterView : public UIKit::UIView,
                                 public CodeVerificationView,
                                 public UIKit::UIKeyInput,
                                 public UIKit::UITextInputTraits {
  struct Token {};

 public:
  // Swift `init(frame:)`; made through `make`, since its gestures need the view shared.
  static std::shared_ptr<ZTSixDigitsCodeEnterView> make(UIKit::CGRect frame = {});
  ZTSixDigitsCodeEnterView(Token, UIKit::CGRect frame);

  // The characters entered so far. Writing it changes no cell until `updateCodeView()`.
  std::string code;
  // Length at which the code is complete; not more than the six cells.
  int maxLenght = 6;

  // Outlets, held weakly: the loaded content view owns the cells.
  std::weak_ptr<ZTSingleCharCodeView> firstDigit;
  std::weak_ptr<ZTSingleCharCodeView> secondDigit;
  std::weak_ptr<ZTSingleCharCodeView> thirdDigit;
  std::weak_ptr<ZTSingleCharCodeView> fourthDigit;
  std::weak_ptr<ZTSingleCharCodeView> fifthDigit;
  std::weak_ptr<ZTSingleCharCodeView> sixthDigit;

  const Callback& didFinishedEnterCode() const override { return didFinishedEnterCode_; }
  void setDidFinishedEnterCode(Callback callback) override {
    didFinishedEnterCode_ = std::move(callback);
  }
  const Callback& didChangeEnterCode() const override { return didChangeEnterCode_; }
  void setDidChangeEnterCode(Callback callback) override {
    didChangeEnterCode_ = std::move(callback);
  }
  // Empties the code and the cells; reports the empty code.
  void clearCode() override;
  // Brings the cells in line with `code` and fires one callback: the finished one once the
  // code has `maxLenght` characters (after the keyboard has gone), else the change one. Does
  // nothing while the code has more characters than there are cells.
  void updateCodeView();
  // Shows the edit menu (Paste only) once a long press is recognized.
  void handleLongPressGesture(UIKit::UILongPressGestureRecognizer& gesture);

  // UITextInputTraits.
  UIKit::UIKeyboardType keyboardType() const override { return keyboardType_; }
  void setKeyboardType(UIKit::UIKeyboardType type) { keyboardType_ = type; }

  // UIKeyInput. A character typed into a full entry replaces the last one; of a longer text
  // (a paste through the keyboard, autofill) only what fits goes in.
  bool hasText() const override { return !code.empty(); }
  void insertText(const std::string& text) override;
  void deleteBackward() override;

  // UIResponder.
  bool canBecomeFirstResponder() const override { return true; }
  // As first responder, Paste only.
  bool canPerformAction(const std::string& action) const override;
  // Takes the pasteboard's text in place of the code when it is decimal digits only, of any
  // script, and not longer than the code; anything else is ignored.
  void paste() override;

  void bindInterface(UIKit::InterfaceBinder& binder) override;

 private:
  void commonInit();
  void addTapGestureToShowKeyboard();
  void addCodesToArray();
  void showKeyboard();

  UIKit::UIKeyboardType keyboardType_ = UIKit::UIKeyboardType::numberPad;
  Callback didFinishedEnterCode_;
  Callback didChangeEnterCode_;
  // The cells, first to sixth.
  std::vector<std::shared_ptr<ZTSingleCharCodeView>> codeArray;
};

}  // namespace ZentrelSDK
