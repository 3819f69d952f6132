#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Testing/UI.hpp"
#include "UIKit/UIKeyboard.hpp"
#include "UIKit/UITextField.hpp"
#include "UIKit/UIViewController.hpp"
#include "UIKitTestSupport.hpp"

using namespace UIKit;
using PlatformTesting::UI;
using uikittest::Counter;

namespace {

class TextInput : public uikittest::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    ui = std::make_unique<UI>();
    first = field(100);
    second = field(200);
  }
  void TearDown() override {
    ui.reset();
    ClockTest::TearDown();
  }
  std::shared_ptr<UITextField> field(CGFloat y) {
    auto f = std::make_shared<UITextField>(CGRect::make(20, y, 300, 40));
    ui->root()->view()->addSubview(f);
    return f;
  }

  std::unique_ptr<UI> ui;
  std::shared_ptr<UITextField> first;
  std::shared_ptr<UITextField> second;
};

// Refuses digits and records the ranges it was asked about.
class NoDigits : public UITextFieldDelegate {
 public:
  bool shouldChangeCharacters(UITextField&, NSRange range, const std::string& text) override {
    ranges.push_back(range);
    return text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]));
  }
  bool textFieldShouldReturn(UITextField&) override {
    ++returns;
    return allowReturn;
  }
  std::vector<NSRange> ranges;
  int returns = 0;
  bool allowReturn = true;
};

}  // namespace

TEST_F(TextInput, TypingKeyByKeyFocusesTheFieldAndSendsEachEdit) {
  auto edits = std::make_shared<Counter>();
  auto begins = std::make_shared<Counter>();
  first->addTarget(edits, &Counter::hit, UIControl::Event::editingChanged);
  first->addTarget(begins, &Counter::hit, UIControl::Event::editingDidBegin);

  ASSERT_TRUE(ui->type("h\xC3\xA9llo\xF0\x9F\x98\x80", first));  // "héllo😀"
  EXPECT_EQ(first->text(), "h\xC3\xA9llo\xF0\x9F\x98\x80");
  EXPECT_EQ(edits->count, 6);
  EXPECT_EQ(begins->count, 1);
  EXPECT_TRUE(first->isFirstResponder());
  EXPECT_TRUE(first->isEditing());
  EXPECT_TRUE(ui->isKeyboardVisible());

  ASSERT_TRUE(ui->deleteBackward());  // the emoji goes as a whole
  EXPECT_EQ(first->text(), "h\xC3\xA9llo");
  EXPECT_EQ(edits->count, 7);
}

TEST_F(TextInput, ASecureFieldShowsADotPerCharacterNeverItsText) {
  second->setSecureTextEntry(true);
  second->setPlaceholder("Password");
  EXPECT_EQ(ui->visibleTexts(), (std::vector<std::string>{"Password"}));
  ASSERT_TRUE(ui->type("pa\xC3\xA9s", second));
  ASSERT_TRUE(ui->type("mail", first));
  EXPECT_EQ(ui->visibleTexts(), (std::vector<std::string>{"mail", "\u2022\u2022\u2022\u2022"}));
}

TEST_F(TextInput, TheDelegateSeesUTF16RangesAndCanRefuseAnEdit) {
  auto delegate = std::make_shared<NoDigits>();
  first->setDelegate(delegate);
  ASSERT_TRUE(
      ui->type("\xF0\x9F\x98\x80"
               "a1b",
               first));
  EXPECT_EQ(first->text(),
            "\xF0\x9F\x98\x80"
            "ab");
  ASSERT_EQ(delegate->ranges.size(), 4u);
  EXPECT_EQ(delegate->ranges[1], (NSRange{2, 0}));  // after a surrogate pair
  EXPECT_EQ(delegate->ranges[3], (NSRange{3, 0}));  // the refused digit moved nothing
  ui->deleteBackward();
  EXPECT_EQ(delegate->ranges.back(), (NSRange{3, 1}));
}

TEST_F(TextInput, RemovingTheFocusedFieldResignsItAndTheKeyboardGoes) {
  ASSERT_TRUE(ui->type("a", first));
  first->removeFromSuperview();
  EXPECT_FALSE(first->isFirstResponder());
  EXPECT_EQ(ui->firstResponder(), nullptr);
  EXPECT_FALSE(ui->isKeyboardVisible());
}

TEST_F(TextInput, TheKeyboardShowsTheKeysTheFocusedInputAsksFor) {
  first->setKeyboardType(UIKeyboardType::numberPad);
  ASSERT_TRUE(ui->tap(first));
  EXPECT_EQ(UIKeyboard::shared().keyboardType(), UIKeyboardType::numberPad);
  ASSERT_TRUE(ui->tap(second));  // the focus moves on: the keys follow
  EXPECT_EQ(UIKeyboard::shared().keyboardType(), UIKeyboardType::defaultType);
}
