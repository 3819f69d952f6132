#include "ZTUIComponents/ZTVerificationCode/ZTSixDigitsCodeEnterView.hpp"

#include <algorithm>

#include <Foundation/CharacterSet.hpp>
#include <Foundation/Characters.hpp>
#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/InterfaceRegistry.hpp>
#include <UIKit/UIMenuController.hpp>
#include <UIKit/UIPasteboard.hpp>
#include <UIKit/UITapGestureRecognizer.hpp>

#include "ZTExtensions/ZTUIViewExtensions.hpp"
#include "ZTLogger.hpp"

namespace ZentrelSDK {

namespace {
const bool registered = [] {
  UIKit::InterfaceRegistry::shared().registerClass(
      "ZTSixDigitsCodeEnterView",
      [](UIKit::CGRect frame) { return ZTSixDigitsCodeEnterView::make(frame); });
  return true;
}();

std::size_t length(int maxLenght) {
  return static_cast<std::size_t>(std::max(maxLenght, 0));
}
}  // namespace

std::shared_ptr<ZTSixDigitsCodeEnterView> ZTSixDigitsCodeEnterView::make(UIKit::CGRect frame) {
  auto view = std::make_shared<ZTSixDigitsCodeEnterView>(Token{}, frame);
  view->commonInit();
  return view;
}

ZTSixDigitsCodeEnterView::ZTSixDigitsCodeEnterView(Token, UIKit::CGRect frame) : UIView(frame) {}

void ZTSixDigitsCodeEnterView::commonInit() {
  loadContentView(*this, "ZTSixDigitsCodeEnterView");
  addTapGestureToShowKeyboard();
  addCodesToArray();
  auto longPress = std::make_shared<UIKit::UILongPressGestureRecognizer>();
  longPress->addTarget(sharedAs<ZTSixDigitsCodeEnterView>(),
                       &ZTSixDigitsCodeEnterView::handleLongPressGesture);
  addGestureRecognizer(longPress);
}

void ZTSixDigitsCodeEnterView::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("firstDigit", firstDigit);
  binder.outlet("secondDigit", secondDigit);
  binder.outlet("thirdDigit", thirdDigit);
  binder.outlet("fourthDigit", fourthDigit);
  binder.outlet("fifthDigit", fifthDigit);
  binder.outlet("sixthDigit", sixthDigit);
}

void ZTSixDigitsCodeEnterView::addTapGestureToShowKeyboard() {
  auto tap = std::make_shared<UIKit::UITapGestureRecognizer>();
  tap->addTarget(sharedAs<ZTSixDigitsCodeEnterView>(), &ZTSixDigitsCodeEnterView::showKeyboard);
  addGestureRecognizer(tap);
}

void ZTSixDigitsCodeEnterView::addCodesToArray() {
  for (const auto* outlet :
       {&firstDigit, &secondDigit, &thirdDigit, &fourthDigit, &fifthDigit, &sixthDigit}) {
    if (auto cell = outlet->lock()) codeArray.push_back(cell);
  }
  if (codeArray.size() != 6)
    ZTLogger::errorLog("ZTSixDigitsCodeEnterView: its interface file connected " +
                       std::to_string(codeArray.size()) + " of the six cells");
}

void ZTSixDigitsCodeEnterView::showKeyboard() {
  becomeFirstResponder();
}

void ZTSixDigitsCodeEnterView::clearCode() {
  code.clear();
  updateCodeView();
}

void ZTSixDigitsCodeEnterView::updateCodeView() {
  const auto characters = Foundation::characters(code);
  const auto count = characters.size();
  if (codeArray.size() < count) return;
  for (std::size_t i = 0; i < count; ++i) codeArray[i]->setCode(characters[i]);
  if (count >= length(maxLenght)) {
    resignFirstResponder();
    // A copy: the callback may replace itself.
    if (auto finished = didFinishedEnterCode_) finished(code);
    return;
  }
  // Never past the cells there are, whatever `maxLenght` says.
  for (std::size_t i = count; i < std::min(length(maxLenght), codeArray.size()); ++i)
    codeArray[i]->removeChar();
  if (auto changed = didChangeEnterCode_) changed(code);
}

void ZTSixDigitsCodeEnterView::insertText(const std::string& text) {
  const auto limit = length(maxLenght);
  auto count = Foundation::characterCount(code);
  if (count >= limit && count > 0) {
    code = Foundation::droppingLastCharacter(code);
    --count;
  }
  const auto room = limit > count ? limit - count : 0;
  const auto typed = Foundation::characters(text);
  for (std::size_t i = 0; i < std::min(room, typed.size()); ++i) code += typed[i];
  updateCodeView();
}

void ZTSixDigitsCodeEnterView::deleteBackward() {
  if (!hasText()) return;
  code = Foundation::droppingLastCharacter(code);
  updateCodeView();
}

bool ZTSixDigitsCodeEnterView::canPerformAction(const std::string& action) const {
  if (isFirstResponder()) return action == "paste:";
  return UIView::canPerformAction(action);
}

void ZTSixDigitsCodeEnterView::paste() {
  const auto& pasteboard = UIKit::UIPasteboard::general();
  if (!pasteboard.hasStrings()) return;
  const auto text = pasteboard.string();
  if (!text) return;
  if (!Foundation::CharacterSet::decimalDigits().isSupersetOfCharacters(*text) ||
      Foundation::characterCount(*text) > length(maxLenght))
    return;
  code = *text;
  updateCodeView();
}

void ZTSixDigitsCodeEnterView::handleLongPressGesture(
    UIKit::UILongPressGestureRecognizer& gesture) {
  if (gesture.state() != UIKit::UIGestureRecognizer::State::began) return;
  auto view = gesture.view();
  auto superview = view ? view->superview() : nullptr;
  if (!view || !superview) return;
  if (view->becomeFirstResponder())
    UIKit::UIMenuController::shared().showMenu(superview, view->frame());
}

}  // namespace ZentrelSDK
