#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <Testing/UI.hpp>
#include <UIKit/UIButton.hpp>
#include <UIKit/UILabel.hpp>

#include "EntranceSupport.hpp"
#include "ZTAccounts.hpp"
#include "ZTAuth/Entrance/ZTEntranceViewController.hpp"
#include "ZTAuth/SignUp/ZTSignUpViewController.hpp"
#include "ZTTokenUtilites.hpp"
#include "ZTUIComponents/ZTTextFieldView.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTSixDigitsCodeEnterView.hpp"

using namespace ZentrelSDK;
using entrancetest::kNewUser;

namespace {

// The user on the entrance's sign-up page, against the sandbox.
class SignUpScreenTest : public entrancetest::EntranceScreenTest {
 protected:
  void SetUp() override {
    EntranceScreenTest::SetUp();
    ui = std::make_unique<PlatformTesting::UI>();
    ASSERT_TRUE(openForCaller());
    ASSERT_TRUE(ui->tap(ui->find("signUpLabelTab")));
    ui->advance(1);
  }
  void TearDown() override {
    ui->settle();
    ui.reset();
  }

  std::shared_ptr<ZTTextFieldView> field(const std::string& name) const {
    return ui->find<ZTTextFieldView>(name);
  }
  std::shared_ptr<UIKit::UIButton> continueButton() const {
    return ui->find<UIKit::UIButton>("continueButton");
  }
  void fillForm(const std::string& email, const std::string& password,
                const std::string& repeated) {
    ASSERT_TRUE(ui->type(email, field("emailTextView")));
    ASSERT_TRUE(ui->type(password, field("passwordTextView")));
    ASSERT_TRUE(ui->type(repeated, field("repeatePasswordView")));
  }
  // Continue from the form; the code block asks the sandbox for a code, which is typed in.
  void continueToCode(const std::string& email) {
    ASSERT_TRUE(ui->tap(continueButton()));
    ui->advance(1);
    ASSERT_TRUE(ui->runUntil([&] { return sb().lastCode(email).has_value(); }, 10));
    ASSERT_TRUE(ui->runUntil([&] { return !ui->isLoaderShowing(); }, 5));
    EXPECT_EQ(ui->find("verificationCodeView")->alpha(), 1);
    EXPECT_FALSE(continueButton()->isEnabled());
  }
  void typeCode(const std::string& code) {
    ASSERT_TRUE(ui->type(code, ui->find<ZTSixDigitsCodeEnterView>("codeEnterView")));
  }
};

TEST_F(SignUpScreenTest, GreetsInBoldThenLight) {
  auto greeting = ui->find<UIKit::UILabel>("greetingLabel")->attributedText();
  ASSERT_TRUE(greeting);
  EXPECT_EQ(greeting->string(), "Welcome,\nregister to continue ");
  using Key = UIKit::NSAttributedString::Key;
  EXPECT_EQ(greeting->attribute(Key::kern, 7), UIKit::NSAttributedString::Value(-0.5));
  EXPECT_EQ(greeting->attribute(Key::kern, 8), UIKit::NSAttributedString::Value(0.75));
}

TEST_F(SignUpScreenTest, ContinueFollowsTheForm) {
  struct Row {
    std::string email, password, repeated;
    bool enabled;
  };
  for (const auto& row : std::vector<Row>{
           {kNewUser, "password1", "password1", true},
           {kNewUser, "password1", "password2", false},
           {"not-an-address", "password1", "password1", false},
           {kNewUser, "seven77", "seven77", false},
       }) {
    for (const auto& name : {"emailTextView", "passwordTextView", "repeatePasswordView"}) {
      auto f = field(name);
      ASSERT_TRUE(ui->tap(f));
      ui->deleteBackward(f->text.value_or("").size());
    }
    fillForm(row.email, row.password, row.repeated);
    EXPECT_EQ(continueButton()->isEnabled(), row.enabled) << row.email << " " << row.repeated;
  }
}

TEST_F(SignUpScreenTest, SigningUpClosesTheEntranceAndAnnouncesTheSignInOnce) {
  entrancetest::SignInAnnouncements signIns(*ui);

  fillForm(kNewUser, "password1", "password1");
  continueToCode(kNewUser);
  typeCode(*sb().lastCode(kNewUser));
  EXPECT_TRUE(continueButton()->isEnabled());
  ASSERT_TRUE(ui->tap(continueButton()));
  ASSERT_TRUE(waitForAnswer());
  EXPECT_EQ(*answers, std::vector<bool>{true});
  EXPECT_EQ(signIns.count, 1);
  EXPECT_TRUE(signIns.closedWhenHeard);
  EXPECT_FALSE(ui->root()->presentedViewController());
  EXPECT_NE(ZTTokenUtilites::shared()->getToken(), "");
}

TEST_F(SignUpScreenTest, AFailedSignUpShowsItsTextAndClearsTheCode) {
  fillForm(kNewUser, "password1", "password1");
  continueToCode(kNewUser);
  typeCode("000000");
  ASSERT_TRUE(ui->tap(continueButton()));
  ASSERT_TRUE(ui->runUntil([&] { return ui->alertMessage().has_value(); }, 10));
  EXPECT_EQ(ui->alertMessage(), "Code mismatch");
  ui->advance(5);
  ui->settle();
  EXPECT_TRUE(answers->empty());
  // The code is gone, so Continue sends nothing until a new one is typed.
  ui->tap(continueButton());
  ui->settle();
  EXPECT_EQ(sb().count("auth.signup"), 1u);
  typeCode(*sb().lastCode(kNewUser));
  ASSERT_TRUE(ui->tap(continueButton()));
  ASSERT_TRUE(waitForAnswer());
  EXPECT_EQ(*answers, std::vector<bool>{true});
}

TEST_F(SignUpScreenTest, AnAddressChangedAtTheCodeStepGetsTheResentCode) {
  fillForm(kNewUser, "password1", "password1");
  continueToCode(kNewUser);
  struct Row {
    std::string typed;
    std::string sentTo;
  };
  for (const auto& row : std::vector<Row>{
           {"other.user@example.com", "other.user@example.com"},
           {"not-an-address", "other.user@example.com"},  // kept until the address is valid
           {kNewUser, kNewUser},
       }) {
    auto email = field("emailTextView");
    ASSERT_TRUE(ui->tap(email));
    ui->deleteBackward(email->text.value_or("").size());
    ASSERT_TRUE(ui->type(row.typed + "\n"));
    const auto sent = sb().count("auth.code");
    ASSERT_TRUE(ui->tap(ui->find("requestCodeAgainButton"))) << row.typed;
    ASSERT_TRUE(ui->runUntil([&] { return sb().count("auth.code") > sent; }, 10)) << row.typed;
    ASSERT_TRUE(ui->runUntil([&] { return !ui->isLoaderShowing(); }, 5));
    EXPECT_EQ(nlohmann::json::parse(sb().requests("auth.code").back().body)["email"], row.sentTo)
        << row.typed;
  }
}

}  // namespace
