#include "ZTUIComponents/ZTTextFieldView.hpp"

#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/InterfaceRegistry.hpp>
#include <UIKit/NSAttributedString.hpp>

#include "ZTExtensions/ZTUIViewExtensions.hpp"
#include "ZTLogger.hpp"
#include "ZTUtilites/ZTUIConstants.hpp"

namespace ZentrelSDK {

namespace {
const bool registered =
    UIKit::InterfaceRegistry::registerViewClass<ZTTextFieldView>("ZTTextFieldView");
}  // namespace

ZTTextFieldView::ZTTextFieldView(UIKit::CGRect frame) : UIView(frame) {
  commonInit();
}

void ZTTextFieldView::commonInit() {
  loadContentView(*this, "ZTTextFieldView");
}

void ZTTextFieldView::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("textField", textField);
  binder.outlet("bottomLine", bottomLine);
}

void ZTTextFieldView::configureTextField(UIKit::UIKeyboardType contentType,
                                         const std::string& placeholder, bool isSecured) {
  auto field = textField.lock();
  if (!field) {
    ZTLogger::errorLog("ZTTextFieldView has no text field: its interface file did not load");
    configureUI();
    return;
  }
  field->setKeyboardType(contentType);
  field->setAttributedPlaceholder(UIKit::NSAttributedString(
      placeholder, {{UIKit::NSAttributedString::Key::foregroundColor, placeholderColor}}));
  field->setSecureTextEntry(isSecured);
  if (auto self = std::static_pointer_cast<ZTTextFieldView>(weak_from_this().lock())) {
    field->addTarget(self, &ZTTextFieldView::textFieldDidChange,
                     UIKit::UIControl::Event::editingChanged);
    field->addTarget(self, &ZTTextFieldView::editingDidEnd,
                     UIKit::UIControl::Event::editingDidEndOnExit);
  } else {
    ZTLogger::errorLog("ZTTextFieldView must be held by a shared_ptr to follow its text field");
  }
  configureUI();
}

void ZTTextFieldView::addNextTextField(const std::shared_ptr<ZTTextFieldView>& next) {
  if (!next) {
    nextTextField.reset();
    return;
  }
  nextTextField = next->textField.lock();
}

void ZTTextFieldView::addNextTextField(const std::shared_ptr<UIKit::UITextField>& next) {
  nextTextField = next;
}

void ZTTextFieldView::addNextTextField(const std::shared_ptr<UIKit::UIResponder>& next) {
  if (next && next->canBecomeFirstResponder()) nextTextField = next;
}

void ZTTextFieldView::addCallbackOnEnding(std::function<void()> callback) {
  callbackOnEnd = std::move(callback);
}

void ZTTextFieldView::addCallbackEditingNotEmpty(std::function<void(bool)> callback) {
  callbackNotEmpty = std::move(callback);
}

void ZTTextFieldView::textFieldDidChange(UIKit::UITextField& sender) {
  text = sender.text();
  configureUI();
}

void ZTTextFieldView::editingDidEnd(UIKit::UITextField& sender) {
  if (auto next = nextTextField.lock()) {
    next->becomeFirstResponder();
  } else if (auto field = textField.lock()) {
    field->resignFirstResponder();
  } else {
    sender.resignFirstResponder();
  }
  // A copy: the callback may register another in its place.
  if (auto callback = callbackOnEnd) callback();
}

void ZTTextFieldView::configureUI() {
  if (auto line = bottomLine.lock()) {
    line->setBackgroundColor(textIsEmpty() ? ZTUIConstants::INACTIVE_UNDERLINE_COLOR()
                                           : ZTUIConstants::MAIN_COLOR());
  }
  if (auto callback = callbackNotEmpty) callback(!textIsEmpty());
}

bool ZTTextFieldView::textIsEmpty() const {
  return !text || text->empty();
}

}  // namespace ZentrelSDK
