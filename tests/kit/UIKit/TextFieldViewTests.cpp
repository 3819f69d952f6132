#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include <Testing/UI.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTUIComponents/ZTTextFieldView.hpp"
#include "ZTUtilites/ZTUIConstants.hpp"
#include "platform/UIKit/UIKitTestSupport.hpp"
#include "support/LateCallbacks.hpp"

using namespace UIKit;
using PlatformTesting::UI;
using ZentrelSDK::ZTTextFieldView;
using ZentrelSDK::ZTUIConstants;

namespace {

class TextFieldView : public uikittest::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    ui = std::make_unique<UI>();
    email = add(300);
    password = add(380);
  }
  void TearDown() override {
    ui.reset();
    ClockTest::TearDown();
  }
  std::shared_ptr<ZTTextFieldView> add(CGFloat y) {
    auto view = std::make_shared<ZTTextFieldView>(CGRect::make(24, y, 327, 56));
    ui->root()->view()->addSubview(view);
    return view;
  }
  static std::optional<UIColor> underline(const ZTTextFieldView& view) {
    return view.bottomLine.lock()->backgroundColor();
  }

  std::unique_ptr<UI> ui;
  std::shared_ptr<ZTTextFieldView> email;
  std::shared_ptr<ZTTextFieldView> password;
  std::vector<bool> reports;
};

}  // namespace

TEST_F(TextFieldView, ItsInterfaceFileGivesItAFieldAndAnUnderlineThatFollowItsSize) {
  auto field = email->textField.lock();
  auto line = email->bottomLine.lock();
  ASSERT_NE(field, nullptr);
  ASSERT_NE(line, nullptr);
  EXPECT_TRUE(field->isDescendant(*email));
  // The file's own colour until the field is configured: the inactive one, in 8 bits.
  const auto fromFile = underline(*email)->components();
  const auto inactive = ZTUIConstants::INACTIVE_UNDERLINE_COLOR().components();
  EXPECT_NEAR(fromFile.red, inactive.red, 1e-6);
  EXPECT_NEAR(fromFile.green, inactive.green, 1e-6);
  EXPECT_NEAR(fromFile.blue, inactive.blue, 1e-6);
  email->setFrame(CGRect::make(0, 0, 200, 60));
  EXPECT_EQ(field->frame().width(), 200);
  EXPECT_EQ(line->convertTo(line->bounds(), email.get()).maxY(), 60);
}

TEST_F(TextFieldView, TheUnderlineAndTheReportFollowTheTypedText) {
  email->addCallbackEditingNotEmpty([this](bool notEmpty) { reports.push_back(notEmpty); });
  email->configureTextField(UIKeyboardType::emailAddress);
  EXPECT_EQ(reports, std::vector<bool>{false});  // registered before: told once at the end

  ASSERT_TRUE(ui->type("ab", email));
  EXPECT_EQ(email->text, "ab");
  EXPECT_EQ(underline(*email), ZTUIConstants::MAIN_COLOR());
  ui->deleteBackward(2);
  EXPECT_EQ(email->text, "");
  EXPECT_EQ(underline(*email), ZTUIConstants::INACTIVE_UNDERLINE_COLOR());
  ui->type("  ");  // blanks are text
  EXPECT_EQ(underline(*email), ZTUIConstants::MAIN_COLOR());
  EXPECT_EQ(reports, (std::vector<bool>{false, true, true, true, false, true, true}));
}

TEST_F(TextFieldView, ReturnMovesTheFocusToTheNextFieldAndThenEnds) {
  email->configureTextField(UIKeyboardType::emailAddress);
  password->configureTextField(UIKeyboardType::asciiCapable, "Password", true);
  email->addNextTextField(password);
  // The field may still end editing when the window goes, after the test returned.
  auto focusMovedFirst = zttest::flag();
  auto ends = zttest::counter();
  email->addCallbackOnEnding([focusMovedFirst, ends, field = password->textField] {
    ++*ends;
    *focusMovedFirst = field.lock()->isFirstResponder();
  });
  ASSERT_TRUE(ui->type("user@example.com\n", email));
  EXPECT_EQ(*ends, 1);
  EXPECT_TRUE(*focusMovedFirst);
  EXPECT_TRUE(ui->isKeyboardVisible());
  ASSERT_TRUE(ui->type("secret"));  // the keys now go to the password
  EXPECT_EQ(password->text, "secret");
  EXPECT_EQ(email->text, "user@example.com");
}

TEST_F(TextFieldView, ReturnWithoutALiveNextResponderDismissesTheKeyboardFirst) {
  email->configureTextField(UIKeyboardType::emailAddress);
  auto loose = std::make_shared<UITextField>(CGRect::make(0, 600, 100, 40));
  ui->root()->view()->addSubview(loose);
  email->addNextTextField(loose);
  loose->removeFromSuperview();
  loose.reset();  // released since
  auto keyboardGoneFirst = zttest::flag();
  email->addCallbackOnEnding([this, keyboardGoneFirst] {
    *keyboardGoneFirst = ui && !ui->isKeyboardVisible();  // ui is null while it goes
  });
  ASSERT_TRUE(ui->type("a\n", email));
  EXPECT_TRUE(*keyboardGoneFirst);
  EXPECT_EQ(ui->firstResponder(), nullptr);
}

TEST_F(TextFieldView, WithoutItsOutletsItStillReportsAndNeverCrashes) {
  auto broken = add(460);
  broken->textField.reset();
  broken->bottomLine.reset();
  broken->addCallbackEditingNotEmpty([this](bool notEmpty) { reports.push_back(notEmpty); });
  broken->configureTextField(UIKeyboardType::emailAddress, "Email");
  broken->addNextTextField(broken);
  EXPECT_EQ(reports, std::vector<bool>{false});
  // The content is still there, but not connected: typing reaches the field, not the view.
  EXPECT_TRUE(ui->type("a", broken));
  EXPECT_FALSE(broken->text.has_value());
}

namespace {}  // namespace
