// The sign-in verification view model against the sandbox: the channel it finds, the codes
// it asks for and what the user sees.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sandbox/Sandbox.hpp>

#include "VerificationSupport.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTVerificationCodeViewModel.hpp"

namespace {

using namespace ZentrelSDK;
using sandbox::Fault;
using vctest::kGenericText;
using vctest::kOtpUser;
using vctest::kSmsUser;
using vctest::kUser;

class CodeViewModel : public vctest::VerificationTest {
 protected:
  // Lets the model's first step run to its end: the channel actions, or an alert.
  void watch(const std::shared_ptr<ZTVerificationCodeViewModel>& model) {
    model->addActionOnAuthTypeChanging([this] { ++decisions; });
  }
  bool waitForDecision() {
    return ui->runUntil([&] { return decisions > 0; });
  }
  // A model for the address whose channel stays undecided, without a code sent: what comes
  // next is the test's alone.
  std::shared_ptr<ZTVerificationCodeViewModel> undecided() {
    sb().inject("auth.email", Fault::json(200, R"({"success": true})"));
    auto model = ZTVerificationCodeViewModel::make(screen, kUser, true);
    watch(model);
    EXPECT_TRUE(waitForDecision());
    return model;
  }
  int decisions = 0;
};

struct EmailCheckRow {
  const char* name;
  std::string email;
  std::optional<Fault> fault;         // on the e-mail check
  AuthType channel;                   // found
  std::optional<std::string> sentBy;  // outbox channel of the code, none: nothing sent
  std::optional<std::string> alert;   // shown instead of a decision
};

class ChannelFromTheEmailCheck : public CodeViewModel,
                                 public ::testing::WithParamInterface<EmailCheckRow> {};

TEST_P(ChannelFromTheEmailCheck, DecidesTheChannelAndSendsTheCodeWithoutALoader) {
  const auto& row = GetParam();
  if (row.fault) sb().inject("auth.email", *row.fault);
  auto model = ZTVerificationCodeViewModel::make(screen, row.email, /*hideLoader=*/true);
  watch(model);
  EXPECT_EQ(model->authType(), AuthType::unknown);  // until the server has answered

  if (row.alert) {
    ASSERT_TRUE(waitForAlert());
    EXPECT_EQ(ui->alertMessage(), *row.alert);
    EXPECT_EQ(decisions, 0);
  } else {
    ASSERT_TRUE(waitForDecision());
    EXPECT_EQ(decisions, 1);
  }
  EXPECT_EQ(model->authType(), row.channel);
  if (row.sentBy) {
    ASSERT_TRUE(waitForRequests("auth.code"));
    EXPECT_FALSE(loaderShown);
    EXPECT_EQ(lastChannel(row.email), *row.sentBy);
    EXPECT_EQ(sb().count("auth.code"), 1u);
  } else {
    EXPECT_TRUE(noRequest("auth.code"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ChannelFromTheEmailCheck,
    ::testing::Values(
        EmailCheckRow{"password", kUser, {}, AuthType::email, "email", {}},
        EmailCheckRow{"sms", kSmsUser, {}, AuthType::sms, "sms", {}},
        EmailCheckRow{"otp", kOtpUser, {}, AuthType::otp, {}, {}},
        EmailCheckRow{
            "emailLinkOfANewAddress", "new.user@example.com", {}, AuthType::email, "email", {}},
        EmailCheckRow{"noChallenge",
                      kUser,
                      Fault::json(200, R"({"success": true})"),
                      AuthType::unknown,
                      {},
                      {}},
        EmailCheckRow{"refusedWithAMessage",
                      kUser,
                      Fault::json(200, R"({"success": false, "message": "Account is disabled"})"),
                      AuthType::unknown,
                      {},
                      "Account is disabled"},
        EmailCheckRow{"serverError",
                      kUser,
                      Fault::answer(500),
                      AuthType::unknown,
                      {},
                      "answer has not status code = 200 (500)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CodeViewModel, ARefusalWithoutAMessageShowsNothingAndDecidesNothing) {
  sb().inject("auth.email", Fault::json(200, R"({"success": false})"));
  auto model = ZTVerificationCodeViewModel::make(screen, kUser, true);
  watch(model);
  ASSERT_TRUE(sb().waitFor("auth.email", 1, std::chrono::seconds(10)));
  EXPECT_TRUE(noRequest("auth.code"));
  ui->settle();
  EXPECT_EQ(ui->alertTitle(), std::nullopt);
  EXPECT_EQ(decisions, 0);
  EXPECT_EQ(model->authType(), AuthType::unknown);
}

struct SettingsRow {
  const char* name;
  sandbox::UserSeed user;
  bool signedIn;
  AuthType channel;
  std::optional<std::string> sentBy;
  std::optional<std::string> alert;
};

sandbox::UserSeed seed(std::string email, bool sms, bool otp) {
  sandbox::UserSeed user;
  user.email = std::move(email);
  user.password = "password1";
  user.smsCodeEnabled = sms;
  user.otpEnabled = otp;
  return user;
}

class ChannelFromTheSettings : public CodeViewModel,
                               public ::testing::WithParamInterface<SettingsRow> {};

TEST_P(ChannelFromTheSettings, DecidesTheChannelAndSendsTheCodeBehindTheLoader) {
  const auto& row = GetParam();
  sb().addUser(row.user);
  if (row.signedIn) signIn(row.user.email);
  slowCodes();
  auto model = ZTVerificationCodeViewModel::make(screen);
  watch(model);

  if (row.alert) {
    ASSERT_TRUE(waitForAlert());
    EXPECT_EQ(ui->alertMessage(), *row.alert);
    EXPECT_EQ(decisions, 0);
    EXPECT_EQ(model->email(), std::nullopt);
  } else {
    ASSERT_TRUE(waitForDecision());
    EXPECT_EQ(model->email(), row.user.email);
  }
  EXPECT_EQ(model->authType(), row.channel);
  if (row.sentBy) {
    ASSERT_TRUE(waitForRequests("auth.code"));
    EXPECT_TRUE(loaderShown);
    EXPECT_EQ(lastChannel(row.user.email), *row.sentBy);
    EXPECT_TRUE(waitForLoaderGone());
  } else {
    EXPECT_TRUE(noRequest("auth.code"));
    EXPECT_FALSE(ui->isLoaderShowing());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ChannelFromTheSettings,
    ::testing::Values(
        SettingsRow{
            "email", seed("plain@example.com", false, false), true, AuthType::email, "email", {}},
        SettingsRow{"sms", seed("texts@example.com", true, false), true, AuthType::sms, "sms", {}},
        SettingsRow{
            "smsWinsOverOtp", seed("both@example.com", true, true), true, AuthType::sms, "sms", {}},
        SettingsRow{"otp", seed("app@example.com", false, true), true, AuthType::otp, {}, {}},
        SettingsRow{"notSignedIn",
                    seed("out@example.com", false, false),
                    false,
                    AuthType::unknown,
                    {},
                    "User is not logged in"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CodeViewModel, AnAddressSetBeforeTheSettingsAnswerIsKept) {
  signIn(kUser);
  auto model = ZTVerificationCodeViewModel::make(screen);
  model->setEmail("other@example.com");
  ASSERT_TRUE(waitForRequests("auth.code"));
  EXPECT_EQ(model->email(), "other@example.com");
  EXPECT_TRUE(sb().lastCode("other@example.com").has_value());
  EXPECT_FALSE(sb().lastCode(kUser).has_value());
}

TEST_F(CodeViewModel, TheAuthenticatorChannelResendsNothing) {
  auto model = ZTVerificationCodeViewModel::make(screen, kOtpUser, true);
  watch(model);
  ASSERT_TRUE(waitForDecision());
  model->resendCode(false);
  ui->settle();
  EXPECT_FALSE(ui->isLoaderShowing());
  EXPECT_EQ(ui->alertTitle(), std::nullopt);
  EXPECT_TRUE(noRequest("auth.code"));
}

TEST_F(CodeViewModel, AFailedCodeRequestTakesTheLoaderDownAndShowsItsText) {
  auto model = undecided();
  sb().inject("auth.code", Fault::answer(429));
  model->resendCode(false);
  ASSERT_TRUE(waitForAlert());
  EXPECT_EQ(ui->alertMessage(), "answer has not status code = 200 (429)");
  EXPECT_FALSE(ui->isLoaderShowing());
  EXPECT_TRUE(screen->blocks.empty());  // no wait on this road
}

TEST_F(CodeViewModel, ResendingWithoutAnAddressSaysSo) {
  sb().inject("settings", Fault::answer(500));
  auto model = ZTVerificationCodeViewModel::make(screen);
  ASSERT_TRUE(waitForAlert());
  EXPECT_EQ(ui->alertMessage(), kGenericText);
  ui->advance(6);  // the alert closes
  model->resendCode(false);
  ASSERT_TRUE(waitForAlert());
  EXPECT_EQ(ui->alertMessage(), "email to sent code did not set");
  EXPECT_TRUE(noRequest("auth.code"));
}

TEST_F(CodeViewModel, AnAnswerAfterTheModelHasGoneStillTakesItsLoaderDown) {
  auto model = undecided();
  sb().inject("auth.code", Fault::answer(500).withDelay(std::chrono::milliseconds(200)));
  model->resendCode(false);
  ASSERT_TRUE(ui->runUntil([&] { return sb().count("auth.code") == 1; }));
  EXPECT_TRUE(ui->isLoaderShowing());
  model.reset();
  ASSERT_TRUE(waitForRequests("auth.code"));
  EXPECT_TRUE(waitForLoaderGone());
  ui->settle();
  EXPECT_EQ(ui->alertTitle(), std::nullopt);  // the answer itself has no effect
}

TEST_F(CodeViewModel, AModelGoneBeforeItsLoaderIsUpSendsNothingAndTakesTheLoaderDown) {
  auto model = undecided();
  model->resendCode(false);
  model.reset();
  ui->settle();
  EXPECT_TRUE(waitForLoaderGone());
  EXPECT_TRUE(noRequest("auth.code"));
}

}  // namespace
