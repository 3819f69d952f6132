#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <Testing/UI.hpp>

#include "EntranceSupport.hpp"
#include "ZTAPI/ZTPrivateAPIAuthUser.hpp"
#include "ZTAuth/SignUp/ZTSignUpViewModel.hpp"
#include "ZTEvents.hpp"
#include "ZTEventsRegistration.hpp"
#include "ZTTokenUtilites.hpp"
#include "support/LateCallbacks.hpp"

using namespace ZentrelSDK;
using entrancetest::kNewUser;

namespace {

// The sign-up screen as the model sees it: records what it is told.
class SignUpScreen : public ZTSignUpNewController {
 public:
  void showStep(ZTSignUpStep step) override { steps.push_back(step); }
  void tryToSignUp() override { ++signUpTries; }
  void didSignUpSuccessfully(std::function<void()> action) override {
    signedUp = true;
    tokenAtSuccess = ZTTokenUtilites::shared()->getToken();
    successAction = std::move(action);
  }
  void errorWithSignUp(const std::string& errorMessage) override { error = errorMessage; }

  std::vector<ZTSignUpStep> steps;
  int signUpTries = 0;
  bool signedUp = false;
  std::string tokenAtSuccess;
  std::function<void()> successAction;
  std::optional<std::string> error;
};

class SignUpModelTest : public entrancetest::SignUpTest {
 protected:
  void SetUp() override {
    entrancetest::SignUpTest::SetUp();
    screen = std::make_shared<SignUpScreen>();
    model = std::make_shared<ZTSignUpViewModel>(screen);
  }

  // A code the sandbox sent to `email`, as the code step would have asked for.
  std::string codeFor(const std::string& email) {
    auto sent = zttest::flag();
    ZTPrivateAPIAuthUser::sendCodeToEmail(
        true, email, [sent](const ZTSendCodeResponse&) { *sent = true; }, [](const Error&) {});
    EXPECT_TRUE(ui.runUntil([&] { return *sent; }));
    return sb().lastCode(email).value_or("");
  }
  bool waitForAnswer() {
    return ui.runUntil([&] { return screen->signedUp || screen->error.has_value(); }, 10) &&
           ui.runUntil([&] { return !ui.isLoaderShowing(); }, 5);
  }

  PlatformTesting::UI ui;
  std::shared_ptr<SignUpScreen> screen;
  std::shared_ptr<ZTSignUpViewModel> model;
};

TEST_F(SignUpModelTest, ChecksPasswordsAndCodes) {
  struct Row {
    std::optional<std::string> password, repeated;
    bool match;
  };
  for (const auto& row : std::vector<Row>{
           {"seven77", "seven77", false},
           {"password1", "password1", true},
           {"password1", "password2", false},
           {"password1", std::nullopt, false},
           {"pass word1", "pass word1", false},
       }) {
    EXPECT_EQ(model->passwordsMatch(row.password, row.repeated), row.match)
        << row.password.value_or("-") << " / " << row.repeated.value_or("-");
  }
  EXPECT_FALSE(model->verificationCodeIsValid(std::nullopt));
}

TEST_F(SignUpModelTest, ContinueShowsTheCodeStepThenAsksTheScreenToSignUp) {
  model->goToNextStep();
  EXPECT_EQ(screen->steps, std::vector<ZTSignUpStep>{ZTSignUpStep::enteringVerificationCode});
  EXPECT_EQ(model->signUpStep(), ZTSignUpStep::enteringVerificationCode);
  model->goToNextStep();
  EXPECT_EQ(screen->steps.size(), 1u);
  EXPECT_EQ(screen->signUpTries, 1);
  EXPECT_EQ(model->signUpStep(), ZTSignUpStep::enteringVerificationCode);
}

TEST_F(SignUpModelTest, SignUpKeepsTheSessionAndAnnouncesTheUserAfterTheScreenCloses) {
  int entered = 0;
  ZTEventsRegistration listener(&entered);
  ZTEvents::shared()->userDidEnterListen(&entered, [&] { ++entered; });

  model->signUp(kNewUser, "password1", codeFor(kNewUser));
  ASSERT_TRUE(waitForAnswer());
  ASSERT_TRUE(screen->signedUp) << screen->error.value_or("");
  EXPECT_FALSE(screen->tokenAtSuccess.empty()) << "the session is kept before the screen hears";
  ui.settle();
  EXPECT_EQ(entered, 0);
  screen->successAction();
  ASSERT_TRUE(ui.runUntil([&] { return entered == 1; }, 5));

  // The kept session is the one the server signed in.
  auto signedIn = std::make_shared<std::optional<bool>>();
  ZTPrivateAPIAuthUser::checkAuth(
      false, [signedIn](bool ok) { *signedIn = ok; },
      [signedIn](const std::string&) { *signedIn = false; });
  ASSERT_TRUE(ui.runUntil([&] { return signedIn->has_value(); }));
  EXPECT_EQ(*signedIn, true);
}

TEST_F(SignUpModelTest, FailedSignUpsShowTheirTexts) {
  struct Row {
    std::string name, email, password;
    bool rightCode;
    std::optional<sandbox::Fault> fault;
    std::string text;
  };
  const std::vector<Row> rows{
      {"wrong code", kNewUser, "password1", false, std::nullopt, "Code mismatch"},
      {"taken address", "user1@example.com", "password1", true, std::nullopt,
       "Email already exist"},
      {"short password", kNewUser, "short", true, std::nullopt, "Validation error"},
      {"no session in the answer", kNewUser, "password1", true,
       sandbox::Fault::json(200, R"({"success": true, "expires_in": 3600})"),
       "Something went wrong, please, try later"},
      {"server failure", kNewUser, "password1", true, sandbox::Fault::answer(500, "boom"),
       "Something went wrong, please, try later"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    sb().reset();
    screen = std::make_shared<SignUpScreen>();
    model = std::make_shared<ZTSignUpViewModel>(screen);
    const std::string code = codeFor(row.email);
    if (row.fault) sb().inject("auth.signup", *row.fault);
    model->signUp(row.email, row.password, row.rightCode ? code : "000000");
    ASSERT_TRUE(waitForAnswer());
    EXPECT_FALSE(screen->signedUp);
    EXPECT_EQ(screen->error, row.text);
    EXPECT_EQ(ZTTokenUtilites::shared()->getToken(), "");
  }
}

TEST_F(SignUpModelTest, AnAnswerAfterTheModelHasGoneOnlyTakesTheLoaderDown) {
  const std::string code = codeFor(kNewUser);
  model->signUp(kNewUser, "password1", code);
  model.reset();
  ASSERT_TRUE(ui.runUntil([&] { return ui.isLoaderShowing(); }, 5));
  ASSERT_TRUE(ui.runUntil([&] { return sb().count("auth.signup") == 1 && !ui.isLoaderShowing(); }));
  ui.settle();
  EXPECT_FALSE(screen->signedUp);
  EXPECT_FALSE(screen->error);
}

}  // namespace
