// The login page driven as a user would, against the sandbox: the e-mail, password and code
// road, biometric sign-in, the step display, the keyboard room and the forgotten password.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <Foundation/NotificationCenter.hpp>
#include <UIKit/UIKeyboard.hpp>
#include <UIKit/UILabel.hpp>

#include "LoginSupport.hpp"
#include "ZTAuth/ChangePassword/ZTChangePasswordViewController.hpp"
#include "ZTAuth/Login/ZTLoginViewModel.hpp"
#include "ZTBiometrics/ZTKeychain.hpp"
#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTSixDigitsCodeEnterView.hpp"

namespace {

using namespace ZentrelSDK;
using namespace logintest;
using LocalAuthentication::LABiometryType;
using PlatformTesting::Device;
using sandbox::Fault;

constexpr auto kKeychainToken = ZTKeychain::StorageKeys::token;

class LoginPage : public LoginTest {
 protected:
  bool bioShown() const { return find("enterWithBioView")->alpha() == 1; }
  bool formShown() const { return find("enterWithEmailAndPassView")->alpha() == 1; }
  std::shared_ptr<ZTSixDigitsCodeEnterView> entry() const {
    return find<ZTSixDigitsCodeEnterView>("codeEnterView");
  }
  // From the password step with the code sent: the password, Return, the code.
  void enterPasswordAndCode(const std::string& password, const std::string& code) {
    enterPassword(password);
    ASSERT_EQ(ui->firstResponder(), entry());  // Return moved on into the code entry
    ASSERT_TRUE(ui->type(code));
  }
  std::string sentCode(const std::string& address) {
    EXPECT_TRUE(waitFor("auth.code"));
    return sb().lastCode(address).value_or("");
  }
};

struct RoadRow {
  const char* name;
  const char* email;
  LABiometryType biometry;
  const char* challengeSent;
};

class PasswordRoad : public LoginPage, public ::testing::WithParamInterface<RoadRow> {};

TEST_P(PasswordRoad, EmailPasswordAndTheCodeFromTheOutboxSignIn) {
  const auto& row = GetParam();
  Device::setBiometry(row.biometry);
  openPage();
  if (row.biometry != LABiometryType::none) {
    EXPECT_TRUE(bioShown());
    ASSERT_TRUE(ui->tap(find("goToEnterEmailButton")));
  }
  EXPECT_TRUE(formShown());
  EXPECT_FALSE(continueEnabled());
  ASSERT_TRUE(ui->type(row.email, find("emailTextField")));
  EXPECT_TRUE(continueEnabled());
  ASSERT_TRUE(tapContinue());
  EXPECT_FALSE(continueEnabled());  // until a valid password
  const auto code = sentCode(row.email);
  ASSERT_EQ(code.size(), 6u);

  enterPasswordAndCode(kPassword, code);
  EXPECT_EQ(page->loginViewModel->loginStep(), ZTLoginStep::enteringVerificationCode);
  EXPECT_TRUE(continueEnabled());
  ASSERT_TRUE(tapContinue());
  ASSERT_TRUE(ui->runUntil([&] { return entered == 1; }));
  EXPECT_EQ(ui->alertTitle(), std::nullopt);
  EXPECT_TRUE(waitForLoaderGone());

  const auto body = nlohmann::json::parse(sb().requests("auth.token").back().body);
  EXPECT_EQ(body["challengeType"], row.challengeSent);
  EXPECT_EQ(body["code"], code);
  const auto token = ZTTokenUtilites::shared()->getToken();
  EXPECT_FALSE(token.empty());
  if (row.biometry == LABiometryType::none) return;
  // The keychain gets its copy on a worker.
  std::optional<std::string> kept;
  ASSERT_TRUE(ui->runUntil([&] {
    auto read = ZTKeychain::getString(kKeychainToken);
    if (read.isSuccess()) kept = read.value();
    return kept.has_value();
  }));
  EXPECT_EQ(kept, token);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PasswordRoad,
    ::testing::Values(RoadRow{"emailOnFaceId", kUser, LABiometryType::faceID, "emailLink"},
                      RoadRow{"smsOnTouchId", kSmsUser, LABiometryType::touchID, "emailLink"},
                      RoadRow{"withoutBiometry", kUser, LABiometryType::none, "emailLink"}),
    [](const auto& info) { return std::string(info.param.name); });

struct WrongRow {
  const char* name;
  const char* password;
  bool codeRight;
};

class WrongCredentials : public LoginPage, public ::testing::WithParamInterface<WrongRow> {};

TEST_P(WrongCredentials, ShowTheTextAndContinueSendsTheSameAgain) {
  const auto& row = GetParam();
  Device::setBiometry(LABiometryType::none);
  openPage();
  reachPasswordStep(kUser);
  const auto code = sentCode(kUser);
  enterPasswordAndCode(row.password, row.codeRight ? code : otherCode(code));
  ASSERT_TRUE(tapContinue());
  EXPECT_EQ(alert(), kInvalidText);
  EXPECT_EQ(entered, 0);
  EXPECT_EQ(ZTTokenUtilites::shared()->getToken(), "");
  EXPECT_EQ(page->loginViewModel->loginStep(), ZTLoginStep::enteringVerificationCode);

  ui->advance(6);  // the alert closes itself
  ASSERT_TRUE(tapContinue());
  ASSERT_TRUE(waitFor("auth.token", 2));
  const auto sent = sb().requests("auth.token");
  EXPECT_EQ(sent[0].body, sent[1].body);
  EXPECT_EQ(alert(), kInvalidText);
}

INSTANTIATE_TEST_SUITE_P(Rows, WrongCredentials,
                         ::testing::Values(WrongRow{"wrongPassword", "password2", true},
                                           WrongRow{"wrongCode", kPassword, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct BioRow {
  const char* name;
  bool keepToken;
  Device::Answer answer;
  bool expireSession;
  bool settingsFail;
  std::optional<std::string> alert;  // none: signed in
};

class BiometricSignIn : public LoginPage, public ::testing::WithParamInterface<BioRow> {};

TEST_P(BiometricSignIn, ReadsTheKeychainAndChecksTheSession) {
  const auto& row = GetParam();
  const auto kept = sb().signIn(kUser);
  if (row.keepToken) {
    ASSERT_TRUE(ZTKeychain::addOrUpdateToStorage(kKeychainToken, kept).isSuccess());
  }
  if (row.expireSession) sb().expireSessions();
  if (row.settingsFail) sb().inject("settings", Fault::answer(500));
  // The sheet is held, then answered while the main queue waits: what follows the keychain's
  // answer must wait for the main queue too.
  Device::setPromptAnswer(Device::Answer::hold);
  openPage();
  ASSERT_TRUE(bioShown());
  ASSERT_TRUE(ui->tap(find("bioEnterButton")));
  if (row.keepToken) {
    ASSERT_TRUE(ui->runUntil([] { return Device::waitForPrompt(0).has_value(); }));
    const auto checks = sb().count("settings");
    ASSERT_TRUE(Device::answerPrompt(row.answer));
    EXPECT_FALSE(sb().waitFor("settings", checks + 1, std::chrono::milliseconds(300)));
    EXPECT_TRUE(ui->isLoaderShowing());
    EXPECT_EQ(ui->alertMessage(), std::nullopt);  // the loader, no error over it yet
  }

  if (row.alert) {
    EXPECT_EQ(alert(), row.alert);
    EXPECT_EQ(entered, 0);
    EXPECT_EQ(ZTTokenUtilites::shared()->getToken(), "");
    EXPECT_TRUE(bioShown());
    EXPECT_EQ(page->loginViewModel->loginStep(), ZTLoginStep::signInWithBioAuth);
    return;
  }
  ASSERT_TRUE(ui->runUntil([&] { return entered == 1; }));
  EXPECT_EQ(ZTTokenUtilites::shared()->getToken(), kept);  // kept as it was stored
  EXPECT_EQ(sb().requests("settings").back().header("Authorization"), "Bearer " + kept);
  EXPECT_EQ(Device::shownPrompts().at(0).reason, "Access to your account");
  EXPECT_EQ(ui->alertTitle(), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BiometricSignIn,
    ::testing::Values(BioRow{"approved", true, Device::Answer::approve, false, false, std::nullopt},
                      BioRow{"cancelled", true, Device::Answer::cancel, false, false,
                             "User canceled the operation."},
                      BioRow{"nothingKept", false, Device::Answer::approve, false, false,
                             "The specified item could not be found in the keychain."},
                      BioRow{"sessionExpired", true, Device::Answer::approve, true, false,
                             ZTLoginViewModel::sessionExpiredText},
                      BioRow{"settingsFail", true, Device::Answer::approve, false, true,
                             ZTLoginViewModel::sessionExpiredText}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoginPage, TheFirstStepAndTheBiometricImageFollowTheDevice) {
  struct Case {
    LABiometryType biometry;
    bool passcode;
    bool bioShown;
    const char* image;
  };
  const Case cases[] = {{LABiometryType::faceID, true, true, "faceId"},
                        {LABiometryType::touchID, true, true, "touchId"},
                        {LABiometryType::none, true, false, "touchId"},
                        {LABiometryType::faceID, false, false, "touchId"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.image + std::string(c.bioShown ? " shown" : " hidden"));
    Device::setBiometry(c.biometry);
    Device::setPasscodeSet(c.passcode);
    openPage();
    EXPECT_EQ(bioShown(), c.bioShown);
    EXPECT_EQ(formShown(), !c.bioShown);
    EXPECT_EQ(page->loginViewModel->loginStep(),
              c.bioShown ? ZTLoginStep::signInWithBioAuth : ZTLoginStep::enteringEmail);
    EXPECT_EQ(find<UIKit::UIButton>("bioEnterButton")->image(UIKit::UIButton::State::normal),
              ZTImageFromLib::makeLibraryImage(c.image));
    EXPECT_TRUE(page->continueToEmailConstraint->isActive());
    EXPECT_FALSE(page->continueToForgotButtonConstraint->isActive());
    EXPECT_FALSE(page->continueToVerifyCodeConstraint->isActive());
    EXPECT_FALSE(continueEnabled());
    EXPECT_EQ(find<UIKit::UILabel>("greetingLabel")->attributedText(),
              find<UIKit::UILabel>("greetingLabelOnEmailAndPass")->attributedText());
    Device::reset();
  }
}

TEST_F(LoginPage, TheStepsMoveContinueAndFadeTheirViews) {
  Device::setBiometry(LABiometryType::none);
  openPage();
  ASSERT_TRUE(ui->type(std::string("user1@example") + "\n", find("emailTextField")));
  EXPECT_EQ(page->loginViewModel->loginStep(), ZTLoginStep::enteringEmail);  // invalid: no step
  EXPECT_FALSE(continueEnabled());
  ASSERT_TRUE(ui->type(".com\n", find("emailTextField")));
  EXPECT_EQ(page->loginViewModel->loginStep(), ZTLoginStep::enteringPassword);
  EXPECT_EQ(find("passwordTextField")->alpha(), 1);
  EXPECT_EQ(find("forgotPassButton")->alpha(), 1);
  EXPECT_TRUE(page->continueToForgotButtonConstraint->isActive());
  EXPECT_FALSE(page->continueToEmailConstraint->isActive());
  const auto code = sentCode(kUser);

  struct Typed {
    const char* text;
    bool enabled;
  };
  const Typed passwords[] = {{"pass", false}, {"word1", true}, {" ", false}};
  for (const auto& typed : passwords) {
    ASSERT_TRUE(ui->type(typed.text, find("passwordTextField")));
    EXPECT_EQ(continueEnabled(), typed.enabled) << typed.text;
  }
  ASSERT_TRUE(ui->deleteBackward());
  ASSERT_TRUE(tapContinue());
  EXPECT_EQ(page->loginViewModel->loginStep(), ZTLoginStep::enteringVerificationCode);
  EXPECT_EQ(find("forgotPassButton")->alpha(), 0);
  EXPECT_EQ(find("verificationCodeView")->alpha(), 1);
  EXPECT_TRUE(page->continueToVerifyCodeConstraint->isActive());
  EXPECT_FALSE(continueEnabled());

  typeCodeDigitByDigit(entry(), code);
}

TEST_F(LoginPage, ASignInWithoutASessionTokenShowsTheGenericText) {
  Device::setBiometry(LABiometryType::none);
  sb().inject("auth.token", Fault::json(200, R"({"success": true})"));
  openPage();
  reachPasswordStep(kUser);
  enterPasswordAndCode(kPassword, sentCode(kUser));
  ASSERT_TRUE(tapContinue());
  EXPECT_EQ(alert(), kGenericText);
  EXPECT_EQ(entered, 0);
  EXPECT_EQ(ZTTokenUtilites::shared()->getToken(), "");
}

TEST_F(LoginPage, ANewAddressGetsItsOwnCodeAndTheOldCodeIsDropped) {
  Device::setBiometry(LABiometryType::none);
  openPage();
  reachPasswordStep(kUser);
  enterPasswordAndCode(kPassword, sentCode(kUser));
  ASSERT_TRUE(continueEnabled());

  // The user corrects the address in the code step and presses Return.
  ASSERT_TRUE(ui->tap(find("emailTextField")));
  ASSERT_TRUE(ui->deleteBackward(std::string(kUser).size()));
  ASSERT_TRUE(ui->type(std::string(kSmsUser) + "\n"));
  ASSERT_TRUE(waitFor("auth.email", 2));
  ASSERT_TRUE(waitFor("auth.code", 2));
  EXPECT_EQ(nlohmann::json::parse(sb().requests("auth.code").back().body)["email"], kSmsUser);
  EXPECT_EQ(page->enteredCode(), std::nullopt);
  EXPECT_EQ(entry()->code, "");
  EXPECT_FALSE(continueEnabled());
  EXPECT_FALSE(tapContinue());
  EXPECT_TRUE(noRequest("auth.token"));

  // The new address's code signs the new user in.
  ASSERT_TRUE(ui->type(sb().lastCode(kSmsUser).value_or(""), entry()));
  ASSERT_TRUE(tapContinue());
  ASSERT_TRUE(ui->runUntil([&] { return entered == 1; }));
  EXPECT_EQ(nlohmann::json::parse(sb().requests("auth.token").back().body)["email"], kSmsUser);
}

TEST_F(LoginPage, TheContentMakesRoomForTheKeyboard) {
  Device::setBiometry(LABiometryType::none);
  openPage();
  auto scroll = find<UIKit::UIScrollView>("scrollView");
  const auto emailTop = find("emailTextField")->frame().minY();
  const auto room = UIKit::UIKeyboard::height + 20;

  ASSERT_TRUE(ui->tap(find("emailTextField")));  // the keyboard comes up
  EXPECT_EQ(scroll->contentInset().bottom, room + emailTop / 2);
  ASSERT_TRUE(ui->type("nobody"));
  ui->tapAt({200, 650});  // the form's background ends editing
  EXPECT_FALSE(ui->isKeyboardVisible());
  EXPECT_EQ(scroll->contentInset().bottom, 0);

  // A notice without the keyboard's frame keeps the height last announced.
  ASSERT_TRUE(ui->tap(find("emailTextField")));
  Foundation::NotificationCenter::defaultCenter().post(UIKit::UIKeyboardWillShowNotification);
  EXPECT_EQ(scroll->contentInset().bottom, room + emailTop / 2);
}

TEST_F(LoginPage, KeyboardObserversGoWithThePage) {
  auto& center = Foundation::NotificationCenter::defaultCenter();
  const auto before = center.observerCount();
  openPage();
  EXPECT_GE(center.observerCount(), before + 2);
  std::weak_ptr<ZTLoginViewController> gone = page;
  ui.reset();
  host.reset();
  page.reset();
  EXPECT_TRUE(gone.expired());
  EXPECT_EQ(center.observerCount(), before);
  center.post(UIKit::UIKeyboardWillHideNotification);  // reaches nobody
}

struct ForgotRow {
  const char* name;
  const char* email;
  bool opens;
};

class ForgotPassword : public LoginPage, public ::testing::WithParamInterface<ForgotRow> {};

TEST_P(ForgotPassword, OpensTheResetScreenSlidingInForAValidAddress) {
  const auto& row = GetParam();
  Device::setBiometry(LABiometryType::none);
  openPage();
  reachPasswordStep(kUser);
  ASSERT_TRUE(ui->tap(find("emailTextField")));
  ASSERT_TRUE(ui->deleteBackward(std::string(kUser).size()));
  ASSERT_TRUE(ui->type(row.email));
  UIKit::UIView::setAnimationsEnabled(true);
  ASSERT_TRUE(ui->tap(find("forgotPassButton")));
  if (!row.opens) {
    EXPECT_EQ(alert(), "enter correct email!");
    EXPECT_TRUE(noRequest("password.reset"));
    return;
  }
  auto reset = std::dynamic_pointer_cast<ZTChangePasswordViewController>(ui->frontmost());
  ASSERT_NE(reset, nullptr);
  EXPECT_EQ(reset->viewModel->email(), row.email);
  EXPECT_TRUE(reset->isBeingPresented());
  ui->advance(0.24);
  EXPECT_TRUE(reset->isBeingPresented());  // slides in over 0.25 s
  ui->advance(0.02);
  EXPECT_FALSE(reset->isBeingPresented());
  EXPECT_EQ(reset->view()->frame().origin.x, 0);
  ASSERT_TRUE(waitFor("password.reset"));
  EXPECT_EQ(nlohmann::json::parse(sb().requests("password.reset").back().body)["email"], row.email);

  ASSERT_TRUE(ui->tap(find("dismissButton")));
  EXPECT_TRUE(reset->isBeingDismissed());
  EXPECT_EQ(reset->view()->frame().origin.x, reset->view()->frame().width());  // out right
  ui->advance(0.26);
  EXPECT_EQ(ui->frontmost(), host);
  EXPECT_EQ(reset->view()->superview(), nullptr);
  EXPECT_TRUE(noRequest("password.confirm"));
}

INSTANTIATE_TEST_SUITE_P(Rows, ForgotPassword,
                         ::testing::Values(ForgotRow{"invalid", "user1@example", false},
                                           ForgotRow{"empty", "", false},
                                           ForgotRow{"valid", kSmsUser, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
