// The password-reset verification model against the sandbox: the one reset request, resent
// codes, the reports of the entered code and the wait after too many requests.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sandbox/Sandbox.hpp>

#include "VerificationSupport.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTResetPassVerificationModel.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTVerificationCodeViewModel.hpp"
#include "support/LateCallbacks.hpp"

namespace {

using namespace ZentrelSDK;
using sandbox::Fault;
using vctest::kGenericText;
using vctest::kUser;

class ResetModel : public vctest::VerificationTest {
 protected:
  std::shared_ptr<ZTResetPassVerificationModel> model() {
    return std::make_shared<ZTResetPassVerificationModel>(screen);
  }
};

struct BeginRow {
  const char* name;
  std::optional<std::string> email;  // none: never set
  std::optional<Fault> fault;        // on the reset request
  bool sent;
  std::optional<std::string> alert;
  bool waits;  // the 60-second wait block is handed to the screen
};

class BeginningTheReset : public ResetModel, public ::testing::WithParamInterface<BeginRow> {};

TEST_P(BeginningTheReset, SendsOneRequestForAValidAddressAndAnswersWhatComesBack) {
  const auto& row = GetParam();
  if (row.fault) sb().inject("password.reset", *row.fault);
  auto reset = model();
  if (row.email) reset->setEmail(*row.email);
  reset->beginResetSession();
  if (!row.sent) {
    EXPECT_TRUE(noRequest("password.reset"));
    ui->settle();
    EXPECT_EQ(ui->alertTitle(), std::nullopt);
    return;
  }
  ASSERT_TRUE(waitForRequests("password.reset"));
  if (row.alert) {
    ASSERT_TRUE(waitForAlert());
    EXPECT_EQ(ui->alertMessage(), *row.alert);
  } else {
    ASSERT_TRUE(ui->runUntil([&] { return row.waits == !screen->blocks.empty(); }));
    ui->settle();
    EXPECT_EQ(ui->alertTitle(), std::nullopt);
  }
  EXPECT_EQ(screen->blocks.size(), row.waits ? 1u : 0u);
  if (row.waits) {
    EXPECT_EQ(screen->blocks.front()->timeLimit(), 60);
  }
  EXPECT_EQ(sb().count("password.reset"), 1u);
  EXPECT_EQ(sb().count("auth.code"), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BeginningTheReset,
    ::testing::Values(BeginRow{"sent", kUser, {}, true, {}, false},
                      BeginRow{"noAddress", {}, {}, false, {}, false},
                      BeginRow{"noTopLevelDomain", "user1@example", {}, false, {}, false},
                      BeginRow{"oneLetterTopLevelDomain", "user1@example.c", {}, false, {}, false},
                      BeginRow{"tooManyRequests", kUser, Fault::answer(429), true, {}, true},
                      BeginRow{"serverError", kUser, Fault::answer(500), true, kGenericText,
                               false}),
    [](const auto& info) { return std::string(info.param.name); });

struct ResendRow {
  const char* name;
  bool hideLoader;
};

class ResendingAResetCode : public ResetModel, public ::testing::WithParamInterface<ResendRow> {};

TEST_P(ResendingAResetCode, UsesTheSignInCodeRequest) {
  auto reset = model();
  reset->setEmail(kUser);
  slowCodes();
  reset->resendCode(GetParam().hideLoader);
  ASSERT_TRUE(waitForRequests("auth.code"));
  EXPECT_EQ(loaderShown, !GetParam().hideLoader);
  EXPECT_TRUE(waitForLoaderGone());
  EXPECT_TRUE(sb().lastCode(kUser).has_value());
  EXPECT_EQ(sb().count("password.reset"), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, ResendingAResetCode,
                         ::testing::Values(ResendRow{"behindTheLoader", false},
                                           ResendRow{"withoutLoader", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ResetModel, ResendingWithoutAnAddressSaysSo) {
  model()->resendCode(false);
  ASSERT_TRUE(waitForAlert());
  EXPECT_EQ(ui->alertMessage(), "email to sent code did not set");
  EXPECT_TRUE(noRequest("auth.code"));
}

TEST_F(ResetModel, ATooManyRequestsAnswerToAResendIsAnAlert) {
  sb().inject("auth.code", Fault::answer(429));
  auto reset = model();
  reset->setEmail(kUser);
  reset->resendCode(false);
  ASSERT_TRUE(waitForAlert());
  EXPECT_EQ(ui->alertMessage(), "answer has not status code = 200 (429)");
  EXPECT_TRUE(screen->blocks.empty());
}

TEST_F(ResetModel, ItsChannelIsEmailAndNeverChanges) {
  auto reset = model();
  auto runs = zttest::counter();
  reset->addActionOnAuthTypeChanging(zttest::countUp(runs));
  reset->setEmail(kUser);
  reset->beginResetSession();
  ASSERT_TRUE(waitForRequests("password.reset"));
  ui->settle();
  EXPECT_EQ(reset->authType(), AuthType::email);
  EXPECT_EQ(reset->authTypeDidChangeActions(), std::nullopt);
  EXPECT_EQ(*runs, 0);
}

// Both models report every change of the entered code the same way.
struct CodeRow {
  const char* code;
  bool finished;
};

class ReportingTheCode : public ResetModel, public ::testing::WithParamInterface<CodeRow> {};

TEST_P(ReportingTheCode, TellsTheScreenWhetherItIsComplete) {
  const auto& row = GetParam();
  const std::vector<std::shared_ptr<VerificationModel>> models{
      model(), ZTVerificationCodeViewModel::make(screen, vctest::kOtpUser, true)};
  for (const auto& each : models) each->verificationFinished(row.code);
  const std::pair<std::string, bool> report{row.code, row.finished};
  EXPECT_EQ(screen->reports, (std::vector<std::pair<std::string, bool>>{report, report}));
}

INSTANTIATE_TEST_SUITE_P(Rows, ReportingTheCode,
                         ::testing::Values(CodeRow{"", false}, CodeRow{"12345", false},
                                           CodeRow{"123456", true}, CodeRow{"12345678", true},
                                           CodeRow{"123456789", false}, CodeRow{"12 456", false}));

}  // namespace
