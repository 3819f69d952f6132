// The verification code block: the info text and resend button for the model's channel,
// the entry wired to the model, the resend tap, and who keeps whom.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <Testing/UI.hpp>
#include <UIKit/UIButton.hpp>
#include <UIKit/UIViewController.hpp>

#include "VerificationSupport.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTSixDigitsCodeEnterView.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTVerificationCodeView.hpp"
#include "platform/UIKit/UIKitTestSupport.hpp"

namespace {

using namespace ZentrelSDK;
using vctest::kInbox;
using vctest::kOtp;
using vctest::kSms;

// A verification model whose channel the test decides; records what the block asks of it.
class FakeModel : public VerificationModel {
 public:
  explicit FakeModel(AuthType type) : type_(type) {}

  std::shared_ptr<NeedVerification> delegate() const override { return nullptr; }
  AuthType authType() const override { return type_; }
  const std::optional<std::vector<Action>>& authTypeDidChangeActions() const override {
    return actions_;
  }
  const std::optional<std::string>& email() const override { return email_; }
  void setEmail(const std::string& email) override { email_ = email; }
  void resendCode(bool hideLoader) override { resends.push_back(hideLoader); }
  void verificationFinished(const std::string& code) override { codes.push_back(code); }
  void addActionOnAuthTypeChanging(Action action) override {
    if (!actions_) actions_.emplace();
    actions_->push_back(std::move(action));
  }
  void handleTooManyRequests() override {}

  // The channel is decided (again): the registered actions run.
  void decide(AuthType type) {
    type_ = type;
    if (!actions_) return;
    for (const auto& action : std::vector<Action>(*actions_)) action();
  }

  std::vector<bool> resends;
  std::vector<std::string> codes;

 private:
  AuthType type_;
  std::optional<std::vector<Action>> actions_;
  std::optional<std::string> email_;
};

class CodeBlock : public uikittest::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    ui = std::make_unique<PlatformTesting::UI>();
    block = ZTVerificationCodeView::make(UIKit::CGRect::make(24, 200, 327, 200));
    ui->root()->view()->addSubview(block);
  }
  void TearDown() override {
    ui.reset();
    ClockTest::TearDown();
  }
  std::optional<std::string> info() const { return block->infoLabel.lock()->text(); }
  std::shared_ptr<UIKit::UIButton> resend() const {
    return ui->find<UIKit::UIButton>("requestCodeAgainButton");
  }

  std::unique_ptr<PlatformTesting::UI> ui;
  std::shared_ptr<ZTVerificationCodeView> block;
};

struct ChannelRow {
  const char* name;
  AuthType type;
  const char* text;
  bool resendShown;
};

class Injecting : public CodeBlock, public ::testing::WithParamInterface<ChannelRow> {};

TEST_P(Injecting, ShowsTheChannelsTextOnTheNextTurnAndItsResendButton) {
  const auto& row = GetParam();
  block->injectModel(std::make_shared<FakeModel>(row.type));
  EXPECT_EQ(info(), std::nullopt);  // not inside the call
  EXPECT_EQ(resend()->isHidden(), !row.resendShown);
  ui->settle();
  EXPECT_EQ(info(), row.text);
  EXPECT_EQ(resend()->isHidden(), !row.resendShown);
}

INSTANTIATE_TEST_SUITE_P(Rows, Injecting,
                         ::testing::Values(ChannelRow{"unknown", AuthType::unknown, kInbox, true},
                                           ChannelRow{"email", AuthType::email, kInbox, true},
                                           ChannelRow{"otp", AuthType::otp, kOtp, false},
                                           ChannelRow{"sms", AuthType::sms, kSms, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct DecisionRow {
  const char* name;
  AuthType first, then;
  const char* text;
  bool resendShown;
};

class FollowingTheChannel : public CodeBlock, public ::testing::WithParamInterface<DecisionRow> {};

TEST_P(FollowingTheChannel, RefreshesOnEachDecisionAndNeverShowsAHiddenButtonAgain) {
  const auto& row = GetParam();
  auto model = std::make_shared<FakeModel>(row.first);
  block->injectModel(model);
  ui->settle();
  model->decide(row.then);
  ui->settle();
  EXPECT_EQ(info(), row.text);
  EXPECT_EQ(resend()->isHidden(), !row.resendShown);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FollowingTheChannel,
    ::testing::Values(DecisionRow{"unknownThenSms", AuthType::unknown, AuthType::sms, kSms, true},
                      DecisionRow{"unknownThenOtp", AuthType::unknown, AuthType::otp, kOtp, false},
                      DecisionRow{"otpThenEmail", AuthType::otp, AuthType::email, kInbox, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CodeBlock, EveryChangeOfTheEntryReachesTheModel) {
  auto model = std::make_shared<FakeModel>(AuthType::email);
  block->injectModel(model);
  auto entry = ui->find<ZTSixDigitsCodeEnterView>("codeEnterView");
  ASSERT_TRUE(ui->type("123456", entry));
  EXPECT_EQ(model->codes, (std::vector<std::string>{"1", "12", "123", "1234", "12345", "123456"}));
  block->clearCode();
  EXPECT_EQ(model->codes.back(), "");
  EXPECT_EQ(entry->code, "");
}

TEST_F(CodeBlock, ASecondModelTakesOverTheEntry) {
  auto first = std::make_shared<FakeModel>(AuthType::email);
  auto second = std::make_shared<FakeModel>(AuthType::sms);
  block->injectModel(first);
  block->injectModel(second);
  ui->type("1", ui->find("codeEnterView"));
  EXPECT_TRUE(first->codes.empty());
  EXPECT_EQ(second->codes, std::vector<std::string>{"1"});
  first->decide(AuthType::email);  // the first model's action refreshes from the current one
  ui->settle();
  EXPECT_EQ(info(), kSms);
}

TEST_F(CodeBlock, EachResendTapAsksTheModelOnceWithItsLoader) {
  auto model = std::make_shared<FakeModel>(AuthType::email);
  block->injectModel(model);
  ASSERT_TRUE(ui->tap(resend()));
  ASSERT_TRUE(ui->tap(resend()));
  EXPECT_EQ(model->resends, (std::vector<bool>{false, false}));
}

TEST_F(CodeBlock, TheBlockAndItsModelKeepNoCycleAndAGoneBlockIsLeftAlone) {
  auto model = std::make_shared<FakeModel>(AuthType::sms);
  std::weak_ptr<FakeModel> weakModel = model;
  block->injectModel(model);  // its text update is still queued
  std::weak_ptr<ZTVerificationCodeView> weakBlock = block;
  block->removeFromSuperview();
  block.reset();
  EXPECT_TRUE(weakBlock.expired());
  ui->settle();
  model->decide(AuthType::otp);  // its registered action finds nothing
  ui->settle();
  model.reset();
  EXPECT_TRUE(weakModel.expired());
}

}  // namespace
