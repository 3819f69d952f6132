#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <UIKit/UILabel.hpp>

#include "ZTModalCodeVerification/ZTModalCodeVerificationViewController.hpp"
#include "ZTSecurityManager.hpp"
#include "kit/OAuth/OAuthFlowSupport.hpp"

using namespace ZentrelSDK;
using namespace oauthtest;
using sandbox::SkipPolicy;

namespace {

using Answer = std::pair<bool, std::optional<std::string>>;

class CodeCardTest : public OAuthFlowTest {
 protected:
  void TearDown() override {
    OAuthFlowTest::TearDown();
    UIKit::UIView::setAnimationsEnabled(false);
  }
  // The host opens the card as the flow does.
  void begin() {
    ZTSecurityManager::beginVerificationFlow(
        [this](bool entered, const std::optional<std::string>& text) {
          answers.emplace_back(entered, text);
        });
  }
  std::vector<Answer> answers;
};

}  // namespace

// The channel comes from the account settings: the header, and whether a code goes out.
struct Channel {
  const char* user;
  const char* header;
  std::optional<std::string> sentOn;  // the outbox's channel; none for the authenticator
};

void PrintTo(const Channel& channel, std::ostream* os) {
  *os << channel.user;
}

class CodeCardChannelTest : public CodeCardTest, public ::testing::WithParamInterface<Channel> {};

TEST_P(CodeCardChannelTest, ConfirmsSixDigitsOnlyAndHandsThemOver) {
  const auto& row = GetParam();
  signIn(row.user);
  begin();
  auto card = readyCodeCard();
  ASSERT_TRUE(card);
  ui->settle();
  EXPECT_EQ(card->titleLabel.lock()->text(), row.header);
  const auto outbox = sb().outbox();
  if (row.sentOn) {
    ASSERT_EQ(outbox.size(), 1u);
    EXPECT_EQ(outbox[0].address, row.user);
    EXPECT_EQ(outbox[0].channel, *row.sentOn);
  } else {
    EXPECT_TRUE(outbox.empty());
  }
  const std::string code = row.sentOn ? outbox.at(0).code : "246810";

  // Confirm follows the entry: on at six digits, off again below.
  auto confirm = button("Confirm");
  auto entry = ui->find("codeEnterView");
  EXPECT_FALSE(confirm->isEnabled());
  ASSERT_TRUE(ui->type(code.substr(0, 5), entry));
  EXPECT_FALSE(confirm->isEnabled());
  EXPECT_FALSE(ui->tap(confirm) && !answers.empty());
  ASSERT_TRUE(ui->type(code.substr(5), entry));
  EXPECT_TRUE(confirm->isEnabled());
  EXPECT_TRUE(confirm->backgroundImage(UIKit::UIButton::State::normal));
  // A complete code lets go of the keyboard: the user taps the entry again to mend it.
  ASSERT_TRUE(ui->type("", entry));
  ASSERT_TRUE(ui->deleteBackward());
  EXPECT_FALSE(confirm->isEnabled());
  EXPECT_FALSE(confirm->backgroundImage(UIKit::UIButton::State::normal));
  ASSERT_TRUE(ui->type(code.substr(5), entry));
  EXPECT_TRUE(answers.empty());

  ASSERT_TRUE(ui->tap(confirm));
  ASSERT_TRUE(ui->runUntil([&] { return !answers.empty(); }, 5));
  ui->settle();
  EXPECT_EQ(answers, (std::vector<Answer>{{true, code}}));
  EXPECT_FALSE(codeCard());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, CodeCardChannelTest,
    ::testing::Values(Channel{"user1@example.com", "Verify with email", "email"},
                      Channel{"sms.user@example.com", "Verify with SMS", "sms"},
                      Channel{"otp.user@example.com", "Verify with OTP", std::nullopt}),
    [](const ::testing::TestParamInfo<Channel>& info) {
      const std::string user = info.param.user;
      return user.substr(0, user.find_first_of(".@"));
    });

TEST_F(CodeCardTest, CancelOrATapAroundAnswersOnceTheCardHasGone) {
  signIn();
  // The button, and a point of the dimmed area above the card.
  const std::vector<std::function<bool()>> cancels{
      [this] { return ui->tap(button("Cancel")); },
      [this] {
        return ui->tapAt({187, 40}) != nullptr;
      },
  };
  for (std::size_t i = 0; i < cancels.size(); ++i) {
    SCOPED_TRACE(i);
    answers.clear();
    begin();
    std::weak_ptr<ZTModalCodeVerificationViewController> weakCard = readyCodeCard();
    ASSERT_FALSE(weakCard.expired());
    UIKit::UIView::setAnimationsEnabled(true);
    ASSERT_TRUE(cancels[i]());
    ui->settle();
    EXPECT_TRUE(answers.empty()) << "answered before the card had gone";
    ui->advance(UIKit::UIViewController::transitionDuration);
    ui->settle();
    EXPECT_EQ(answers, (std::vector<Answer>{{false, std::nullopt}}));
    EXPECT_TRUE(weakCard.expired()) << "the card outlived its answer";
    EXPECT_FALSE(codeCard());
    UIKit::UIView::setAnimationsEnabled(false);
  }
}

TEST_F(CodeCardTest, ConfirmThenCancelWhileClosingIsOneAnswer) {
  signIn("otp.user@example.com");
  begin();
  auto card = readyCodeCard();
  ASSERT_TRUE(card);
  ASSERT_TRUE(ui->type("246810", ui->find("codeEnterView")));
  auto confirm = card->confirmButton.lock();
  card->confirmAction(*confirm);
  card->cancelAction(*confirm);
  card->closePopover();
  card.reset();
  ASSERT_TRUE(ui->runUntil([&] { return !answers.empty(); }, 5));
  ui->settle();
  EXPECT_EQ(answers, (std::vector<Answer>{{true, "246810"}}));
}

TEST_F(CodeCardTest, WithoutATopmostControllerTheAnswerIsACancel) {
  ui = std::make_unique<PlatformTesting::UI>(nullptr);
  begin();
  EXPECT_TRUE(answers.empty()) << "answered inline";
  ui->settle();
  EXPECT_EQ(answers, (std::vector<Answer>{{false, std::nullopt}}));

  // The flow ends with the host's error instead of waiting for a card.
  sb().setSkip(kApp, SkipPolicy::Never, SkipPolicy::Never);
  signIn();
  Asker asker;
  ask(asker);
  ASSERT_TRUE(waitForAnswer(asker));
  EXPECT_EQ(asker.answers, std::vector<bool>{false});
  EXPECT_EQ(sb().count("oauth.login.post"), 0u);
}

TEST_F(CodeCardTest, AFailedCodeRequestLeavesTheCardToCancel) {
  signIn();
  sb().inject("auth.code", sandbox::Fault::answer(500, "boom"));
  begin();
  ASSERT_TRUE(waitForAlert());
  EXPECT_EQ(ui->alertMessage(), "answer has not status code = 200 (500)");
  ui->advance(5);
  ASSERT_TRUE(ui->runUntil([&] { return codeCard() != nullptr; }, 5));
  ASSERT_TRUE(ui->tap(button("Cancel")));
  ASSERT_TRUE(ui->runUntil([&] { return !answers.empty(); }, 5));
  EXPECT_EQ(answers, (std::vector<Answer>{{false, std::nullopt}}));
}

TEST_F(CodeCardTest, TheCodeGoesOutOnceTheCardIsIn) {
  signIn();
  UIKit::UIView::setAnimationsEnabled(true);
  begin();
  // The card comes in, then the loader for the code, which goes once the code is out. The
  // clock moves each transition on when one is under way; the network answers when it does.
  ASSERT_TRUE(ui->runUntil(
      [&] {
        auto front = ui->frontmost();
        if (front && (front->isBeingPresented() || front->isBeingDismissed()))
          ui->advance(UIKit::UIViewController::transitionDuration);
        return !sb().outbox().empty() && codeCard() && !ui->isLoaderShowing();
      },
      20));
  ASSERT_EQ(sb().outbox().size(), 1u);
  UIKit::UIView::setAnimationsEnabled(false);
  ASSERT_TRUE(enterCode());
  ui->advance(UIKit::UIViewController::transitionDuration);
  ASSERT_TRUE(ui->runUntil([&] { return !answers.empty(); }, 5));
  EXPECT_EQ(answers, (std::vector<Answer>{{true, sb().outbox().at(0).code}}));
}
