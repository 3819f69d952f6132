// The code block on a screen, with the real view models, against the sandbox: the channel's
// text, a resent code from the outbox typed in, and the wait after too many resets.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <UIKit/UIButton.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UIViewController.hpp>
#include <sandbox/Sandbox.hpp>

#include "VerificationSupport.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTResetPassVerificationModel.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTSixDigitsCodeEnterView.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTTooManyRequestsTimer/ZTWaitVerificationTimerViewController.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTVerificationCodeView.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTVerificationCodeViewModel.hpp"

namespace {

using namespace ZentrelSDK;
using sandbox::Fault;
using vctest::kInbox;
using vctest::kOtp;
using vctest::kSms;

// A code-asking screen as the kit's are: the block in its view, the model's reports kept,
// the wait screen embedded in place of the block while a countdown runs.
class CodeScreen : public UIKit::UIViewController, public NeedVerification {
 public:
  void viewDidLoad() override {
    block = ZTVerificationCodeView::make(UIKit::CGRect::make(24, 200, 327, 200));
    view()->addSubview(block);
  }
  void didChangedVerificationCode(const std::string& code, bool finished) override {
    reports.emplace_back(code, finished);
  }
  void addVerificationTimerView(const std::shared_ptr<ZTVerificationTimerBlock>& with) override {
    wait = std::make_shared<ZTWaitVerificationTimerViewController>(with);
    addChild(wait);
    wait->view()->setFrame(block->frame());
    view()->addSubview(wait->view());
    wait->didMove(this);
    block->setHidden(true);
  }
  void removeVerificationTimerView() override {
    if (!wait) return;
    wait->willMove(nullptr);
    wait->view()->removeFromSuperview();
    wait->removeFromParent();
    wait.reset();
    block->setHidden(false);
  }

  std::shared_ptr<ZTVerificationCodeView> block;
  std::shared_ptr<ZTWaitVerificationTimerViewController> wait;
  std::vector<std::pair<std::string, bool>> reports;
};

class VerificationRoad : public vctest::VerificationTest {
 protected:
  void SetUp() override {
    vctest::VerificationTest::SetUp();
    codeScreen = std::make_shared<CodeScreen>();
    ui = std::make_unique<PlatformTesting::UI>(codeScreen);
  }
  void TearDown() override {
    vctest::VerificationTest::TearDown();
    codeScreen.reset();
  }
  std::optional<std::string> info() const {
    auto label = ui->find<UIKit::UILabel>("infoLabel");
    return label ? label->text() : std::nullopt;
  }
  bool resendShown() const {
    return !ui->find<UIKit::UIButton>("requestCodeAgainButton")->isHidden();
  }

  std::shared_ptr<CodeScreen> codeScreen;
};

struct ChannelRow {
  const char* name;
  std::string email;
  bool fromSettings;  // else from the e-mail check
  const char* text;
  bool resendShown;
};

class TheChannelsText : public VerificationRoad,
                        public ::testing::WithParamInterface<ChannelRow> {};

TEST_P(TheChannelsText, IsShownOnceTheServerHasToldTheChannel) {
  const auto& row = GetParam();
  std::shared_ptr<ZTVerificationCodeViewModel> model;
  if (row.fromSettings) {
    signIn(row.email);
    model = ZTVerificationCodeViewModel::make(codeScreen);
  } else {
    model = ZTVerificationCodeViewModel::make(codeScreen, row.email, true);
  }
  codeScreen->block->injectModel(model);
  ASSERT_TRUE(ui->runUntil([&] { return info() == std::optional<std::string>(row.text); }));
  EXPECT_EQ(resendShown(), row.resendShown);
  EXPECT_TRUE(waitForLoaderGone());
  // From settings the code is asked for once the channel is shown; it is waited for, or it
  // would reach the server during the next test and count there.
  if (row.fromSettings) {
    EXPECT_TRUE(waitForRequests("auth.code"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TheChannelsText,
    ::testing::Values(ChannelRow{"emailCheckOtp", vctest::kOtpUser, false, kOtp, false},
                      ChannelRow{"settingsSms", vctest::kSmsUser, true, kSms, true},
                      ChannelRow{"settingsEmail", vctest::kUser, true, kInbox, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VerificationRoad, AResentCodeFromTheOutboxTypedInCompletesTheCode) {
  auto model = ZTVerificationCodeViewModel::make(codeScreen, vctest::kUser);
  codeScreen->block->injectModel(model);
  ASSERT_TRUE(waitForRequests("auth.code"));
  EXPECT_TRUE(waitForLoaderGone());
  const auto first = sb().lastCode(vctest::kUser);
  ASSERT_TRUE(first.has_value());

  slowCodes();
  ASSERT_TRUE(ui->tap(ui->find("requestCodeAgainButton")));
  ASSERT_TRUE(waitForRequests("auth.code", 2));
  EXPECT_TRUE(loaderShown);
  EXPECT_TRUE(waitForLoaderGone());
  const auto code = sb().lastCode(vctest::kUser);
  ASSERT_TRUE(code.has_value());
  EXPECT_NE(code, first);

  auto entry = ui->find<ZTSixDigitsCodeEnterView>("codeEnterView");
  ASSERT_TRUE(ui->type(code->substr(0, 5), entry));
  EXPECT_EQ(codeScreen->reports.back(), std::make_pair(code->substr(0, 5), false));
  ASSERT_TRUE(ui->type(code->substr(5)));
  EXPECT_EQ(codeScreen->reports.back(), std::make_pair(*code, true));
  EXPECT_EQ(codeScreen->reports.size(), 6u);
  EXPECT_FALSE(ui->isKeyboardVisible());
}

TEST_F(VerificationRoad, TooManyResetsShowTheWaitWhichCountsDownAndCloses) {
  sb().inject("password.reset", Fault::answer(429));
  auto model = std::make_shared<ZTResetPassVerificationModel>(codeScreen);
  model->setEmail(vctest::kUser);
  model->beginResetSession();
  codeScreen->block->injectModel(model);
  ASSERT_TRUE(ui->runUntil([&] { return codeScreen->wait != nullptr; }));
  auto timer = [&] { return ui->find<UIKit::UILabel>("timerLabel")->text(); };
  EXPECT_EQ(timer(), "60");
  EXPECT_TRUE(codeScreen->block->isHidden());
  ui->settle();
  EXPECT_EQ(ui->alertTitle(), std::nullopt);

  ui->advance(59);
  EXPECT_EQ(timer(), "1");
  ui->advance(1);
  EXPECT_EQ(codeScreen->wait, nullptr);
  EXPECT_EQ(ui->find("timerLabel"), nullptr);
  EXPECT_FALSE(codeScreen->block->isHidden());
}

}  // namespace
