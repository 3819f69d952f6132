#include <gtest/gtest.h>

#include <any>
#include <memory>
#include <string>
#include <vector>

#include "Foundation/NotificationCenter.hpp"
#include "Testing/UI.hpp"
#include "UIKit/UIKeyInput.hpp"
#include "UIKit/UIKeyboard.hpp"
#include "UIKit/UIMenuController.hpp"
#include "UIKit/UIPasteboard.hpp"
#include "UIKit/UIScreen.hpp"
#include "UIKit/UITextField.hpp"
#include "UIKit/UITouch.hpp"
#include "UIKit/UIViewController.hpp"
#include "UIKit/UIWindow.hpp"
#include "UIKitTestSupport.hpp"

using namespace UIKit;
using PlatformTesting::UI;

namespace {

// A code entry like the kit's: six digit boxes typed into through UIKeyInput; anything but a
// digit is dropped, from the keyboard or from a paste.
class CodeEntry : public UIView, public UIKeyInput {
 public:
  using UIView::UIView;
  bool hasText() const override { return !code.empty(); }
  void insertText(const std::string& text) override {
    for (char c : text) {
      if (c >= '0' && c <= '9' && code.size() < 6) code += c;
    }
  }
  void deleteBackward() override {
    if (!code.empty()) code.pop_back();
  }
  bool canBecomeFirstResponder() const override { return true; }
  void touchesEnded(const UITouch&) override { becomeFirstResponder(); }
  bool canPerformAction(const std::string& action) const override {
    return action == "paste:" && UIPasteboard::general().hasStrings();
  }
  void paste() override {
    if (auto text = UIPasteboard::general().string()) insertText(*text);
  }
  std::string code;
};

class KeyInput : public uikittest::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    UIPasteboard::general().setString(std::nullopt);
    ui = std::make_unique<UI>();
    entry = std::make_shared<CodeEntry>(CGRect::make(20, 300, 335, 56));
    field = std::make_shared<UITextField>(CGRect::make(20, 400, 335, 44));
    ui->root()->view()->addSubview(entry);
    ui->root()->view()->addSubview(field);
    for (const auto& name : {UIKeyboardWillShowNotification, UIKeyboardWillHideNotification}) {
      observers.push_back(Foundation::NotificationCenter::defaultCenter().addObserver(
          name, std::nullopt, nullptr, [this](const Foundation::Notification& n) {
            events.push_back(n.name == UIKeyboardWillShowNotification ? "show" : "hide");
            ends.push_back(std::any_cast<CGRect>(n.userInfo->at(UIKeyboardFrameEndUserInfoKey)));
          }));
    }
  }
  void TearDown() override {
    for (auto& o : observers) Foundation::NotificationCenter::defaultCenter().removeObserver(o);
    ui.reset();
    UIScreen::main().setBounds(CGRect::make(0, 0, 375, 812));
    UIPasteboard::general().setString(std::nullopt);
    ClockTest::TearDown();
  }

  std::unique_ptr<UI> ui;
  std::shared_ptr<CodeEntry> entry;
  std::shared_ptr<UITextField> field;
  std::vector<std::shared_ptr<Foundation::NotificationObserver>> observers;
  std::vector<std::string> events;
  std::vector<CGRect> ends;
};

}  // namespace

TEST_F(KeyInput, TheEditMenuOffersWhatTheFirstResponderCanDo) {
  struct Case {
    std::optional<std::string> clipboard;
    const char* typed;
    bool secure;
    std::vector<std::string> offered;
  };
  const Case cases[] = {
      {std::nullopt, "", false, {}},
      {"x", "", false, {"paste:"}},
      {std::nullopt, "abc", false, {"cut:", "copy:"}},
      {"x", "abc", false, {"cut:", "copy:", "paste:"}},
      {"x", "abc", true, {"paste:"}},
  };
  auto& menu = UIMenuController::shared();
  for (const auto& c : cases) {
    field->setText("");
    field->setSecureTextEntry(c.secure);
    UIPasteboard::general().setString(c.clipboard);
    ui->type(c.typed, field);
    menu.showMenu(field, CGRect::make(0, 0, 50, 44));
    EXPECT_EQ(menu.offeredActions(), c.offered) << c.typed;
    EXPECT_EQ(menu.isMenuVisible(), !c.offered.empty());
    if (!c.offered.empty()) {
      EXPECT_EQ(menu.targetRect(), CGRect::make(20, 400, 50, 44));
    }
    menu.hideMenu();
  }
  // Copy then paste through the menu.
  field->setSecureTextEntry(false);
  menu.showMenu(field, field->bounds());
  EXPECT_TRUE(menu.choose("copy:"));
  EXPECT_EQ(UIPasteboard::general().string(), "abc");
  EXPECT_TRUE(ui->paste());
  EXPECT_EQ(field->text(), "abcabc");
}

TEST_F(KeyInput, FocusMovesAnnounceTheKeyboardInWindowCoordinates) {
  UIScreen::main().setBounds(CGRect::make(0, 0, 390, 844));
  UIScreen::main().setBounds(CGRect::make(0, 0, -1, 10));  // not a screen: ignored
  ui = std::make_unique<UI>();                             // a window of the new size
  ui->root()->view()->addSubview(entry);
  ui->root()->view()->addSubview(field);
  const CGRect shown = CGRect::make(0, 844 - UIKeyboard::height, 390, UIKeyboard::height);
  const CGRect gone = CGRect::make(0, 844, 390, UIKeyboard::height);

  struct Case {
    std::function<void()> move;
    std::vector<std::string> events;
    CGRect end;
  };
  const Case cases[] = {
      {[&] { ui->type("", entry); }, {"show"}, shown},
      {[&] { ui->type("", field); }, {"show"}, shown},  // between inputs it stays, announced again
      {[&] { ui->tap(entry); }, {"show"}, shown},
      {[&] { ui->root()->view()->endEditing(true); }, {"hide"}, gone},
      {[&] { ui->root()->view()->endEditing(true); }, {}, gone},
  };
  for (const auto& c : cases) {
    events.clear();
    ends.clear();
    c.move();
    EXPECT_EQ(events, c.events);
    if (!ends.empty()) {
      EXPECT_EQ(ends.back(), c.end);
      EXPECT_EQ(ui->window()->convertFrom(ends.back(), nullptr), c.end);
    }
  }
}
