// The password reset screen opened from the login page's forgotten password, driven as a user
// would against the sandbox: the code from the reset, the new password twice, the wait after
// too many resets.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>

#include <UIKit/UILabel.hpp>

#include "LoginSupport.hpp"
#include "ZTAuth/ChangePassword/ZTChangePasswordViewController.hpp"
#include "ZTAuth/ChangePassword/ZTChangePasswordViewModel.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTSixDigitsCodeEnterView.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTTooManyRequestsTimer/ZTWaitVerificationTimerViewController.hpp"

namespace {

using namespace ZentrelSDK;
using namespace logintest;
using LocalAuthentication::LABiometryType;
using PlatformTesting::Device;
using sandbox::Fault;

class ResetScreen : public LoginTest {
 protected:
  // The login page at its password step for the user, then the forgotten password.
  void openReset() {
    Device::setBiometry(LABiometryType::none);
    openPage();
    reachPasswordStep(kUser);
    ASSERT_TRUE(waitFor("auth.code"));  // the sign-in code, before the reset's
    ASSERT_TRUE(ui->tap(find("forgotPassButton")));
    ASSERT_TRUE(ui->runUntil([&] { return reset() != nullptr; }));
  }
  std::shared_ptr<ZTChangePasswordViewController> reset() const {
    return std::dynamic_pointer_cast<ZTChangePasswordViewController>(ui->frontmost());
  }
  std::shared_ptr<ZTSixDigitsCodeEnterView> entry() const {
    return find<ZTSixDigitsCodeEnterView>("codeEnterView");
  }
  std::string resetCode() {
    EXPECT_TRUE(waitFor("password.reset"));
    for (const auto& sent : sb().outbox()) {
      if (sent.sentBy == "password.reset") return sent.code;
    }
    return "";
  }
  // Both fields, each ended with Return.
  void typePasswords(const std::string& password, const std::string& repeat) {
    ASSERT_TRUE(ui->type(password + "\n", find("passwordTextView")));
    ASSERT_TRUE(ui->type(repeat + "\n", find("repeatPasswordTextView")));
  }
};

TEST_F(ResetScreen, LoadingSendsOneResetAndContinueWaits) {
  openReset();
  EXPECT_FALSE(continueEnabled());
  EXPECT_EQ(resetCode().size(), 6u);
  EXPECT_TRUE(noRequest("password.reset", 2));
  EXPECT_EQ(nlohmann::json::parse(sb().requests("password.reset")[0].body)["email"], kUser);
  EXPECT_EQ(ui->alertTitle(), std::nullopt);
}

struct PasswordRow {
  const char* name;
  std::string password, repeat;
  bool enabled;
};

class NewPasswords : public ResetScreen, public ::testing::WithParamInterface<PasswordRow> {};

TEST_P(NewPasswords, EnableContinueOnlyWhenValidAndRepeatedExactly) {
  const auto& row = GetParam();
  openReset();
  ASSERT_TRUE(ui->type(resetCode(), entry()));
  typePasswords(row.password, row.repeat);
  EXPECT_EQ(continueEnabled(), row.enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NewPasswords,
    ::testing::Values(PasswordRow{"sevenChars", "abcdefg", "abcdefg", false},
                      PasswordRow{"eightChars", "abcdefgh", "abcdefgh", true},
                      PasswordRow{"thirtyChars", std::string(30, 'a'), std::string(30, 'a'), true},
                      PasswordRow{"thirtyOneChars", std::string(31, 'a'), std::string(31, 'a'),
                                  false},
                      PasswordRow{"withABlank", "abcd efgh", "abcd efgh", false},
                      PasswordRow{"caseDiffers", "Password1", "password1", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ResetScreen, TheSixthDigitEnablesContinueWithValidPasswords) {
  openReset();
  const auto code = resetCode();
  typePasswords("newpassword1", "newpassword1");
  EXPECT_FALSE(continueEnabled());
  typeCodeDigitByDigit(entry(), code);
}

TEST_F(ResetScreen, ARepeatChangedAfterTheCheckIsNeverSent) {
  openReset();
  ASSERT_TRUE(ui->type(resetCode(), entry()));
  typePasswords("newpassword1", "newpassword1");
  ASSERT_TRUE(continueEnabled());
  ASSERT_TRUE(ui->type("x", find("repeatPasswordTextView")));  // no Return
  ASSERT_TRUE(tapContinue());
  EXPECT_FALSE(continueEnabled());
  EXPECT_TRUE(noRequest("password.confirm"));
  EXPECT_EQ(sb().user(kUser)->password, kPassword);
}

TEST_F(ResetScreen, AConfirmedPasswordClosesTheScreenAndSignsInAfterwards) {
  openReset();
  ASSERT_TRUE(ui->type(resetCode(), entry()));
  typePasswords("newpassword1", "newpassword1");
  ASSERT_TRUE(tapContinue());
  ASSERT_TRUE(waitFor("password.confirm"));
  ASSERT_TRUE(ui->runUntil([&] { return ui->frontmost() == host; }));
  EXPECT_EQ(ui->alertTitle(), std::nullopt);
  EXPECT_EQ(sb().user(kUser)->password, "newpassword1");
  const auto body = nlohmann::json::parse(sb().requests("password.confirm")[0].body);
  EXPECT_EQ(body["newPassword"], "newpassword1");
  EXPECT_EQ(entered, 0);  // not signed in

  // Back on the login page, the new password and a new code sign in.
  ASSERT_TRUE(ui->type("newpassword1\n", find("passwordTextField")));
  ASSERT_TRUE(ui->tap(find("requestCodeAgainButton")));
  ASSERT_TRUE(waitFor("auth.code", 2));
  ASSERT_TRUE(waitForLoaderGone());
  ASSERT_TRUE(ui->type(sb().lastCode(kUser).value_or(""), entry()));
  ASSERT_TRUE(tapContinue());
  ASSERT_TRUE(ui->runUntil([&] { return entered == 1; }));
}

TEST_F(ResetScreen, ARefusedCodeEmptiesTheEntryAndKeepsThePasswords) {
  openReset();
  const auto code = resetCode();
  ASSERT_TRUE(ui->type(otherCode(code), entry()));
  typePasswords("newpassword1", "newpassword1");
  ASSERT_TRUE(tapContinue());
  EXPECT_EQ(alert(), "unauthorized");
  EXPECT_EQ(entry()->code, "");
  EXPECT_FALSE(continueEnabled());
  EXPECT_EQ(find<ZTTextFieldView>("passwordTextView")->text, "newpassword1");
  EXPECT_EQ(find<ZTTextFieldView>("repeatPasswordTextView")->text, "newpassword1");
  EXPECT_TRUE(noRequest("password.reset", 2));
}

TEST_F(ResetScreen, TooManyResetsLayTheWaitOverTheCodeForAMinute) {
  sb().inject("password.reset", Fault::answer(429));
  UIKit::UIView::setAnimationsEnabled(true);
  openReset();
  ASSERT_TRUE(ui->runUntil([&] { return find("timerLabel") != nullptr; }));
  auto screen = reset();
  ASSERT_NE(screen, nullptr);
  auto code = find("verificationView");
  auto wait = screen->children().at(0);
  EXPECT_NE(std::dynamic_pointer_cast<ZTWaitVerificationTimerViewController>(wait), nullptr);
  EXPECT_EQ(wait->view()->frame(), code->frame());
  EXPECT_EQ(wait->view()->alpha(), 1);
  EXPECT_EQ(code->alpha(), 0.01);
  EXPECT_EQ(find<UIKit::UILabel>("timerLabel")->text(), "60");
  ui->settle();
  EXPECT_EQ(ui->alertTitle(), std::nullopt);

  ui->advance(59);
  EXPECT_EQ(find<UIKit::UILabel>("timerLabel")->text(), "1");
  ui->advance(1);
  EXPECT_EQ(find("timerLabel"), nullptr);  // gone at once
  EXPECT_TRUE(screen->children().empty());
  EXPECT_EQ(code->alpha(), 1);
}

TEST_F(ResetScreen, TheModelHoldsItsScreenWeaklyAndSendsNothingWithoutOne) {
  auto model = std::make_shared<ZTChangePasswordViewModel>(kUser);
  model->setupVerification(nullptr);
  {
    auto screen = std::make_shared<ZTChangePasswordViewController>(model);
    model->setupDelegate(screen);
    EXPECT_EQ(model->delegate(), screen);
  }
  EXPECT_EQ(model->delegate(), nullptr);
  model->setupVerification(nullptr);
  ui = std::make_unique<PlatformTesting::UI>();
  EXPECT_TRUE(noRequest("password.reset"));
}

}  // namespace
