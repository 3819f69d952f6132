// The too-many-requests countdown and its wait screen, on the manual clock.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <RunLoopCore/Scheduler.hpp>
#include <Testing/ManualClock.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTUIComponents/ZTVerificationCode/ZTTooManyRequestsTimer/ZTVerificationTimerBlockModel.hpp"
#include "ZTUIComponents/ZTVerificationCode/ZTTooManyRequestsTimer/ZTWaitVerificationTimerViewController.hpp"
#include "platform/UIKit/UIKitTestSupport.hpp"

namespace {

using namespace ZentrelSDK;

class WaitTimer : public uikittest::WindowTest {
 protected:
  // A block whose close action is counted.
  std::shared_ptr<ZTVerificationTimerBlockModel> block(std::int64_t seconds) {
    auto made = std::make_shared<ZTVerificationTimerBlockModel>(seconds);
    made->setOnCloseAction([this] { ++closes; });
    return made;
  }
  // Embeds the wait screen in the root screen as a child, as the reset screen does.
  std::shared_ptr<ZTWaitVerificationTimerViewController> show(
      const std::shared_ptr<ZTVerificationTimerBlock>& countdown) {
    auto wait = std::make_shared<ZTWaitVerificationTimerViewController>(countdown);
    auto root = ui->root();
    root->addChild(wait);
    root->view()->addSubview(wait->view());
    wait->didMove(root.get());
    return wait;
  }
  std::optional<std::string> shown() const {
    auto label = ui->find<UIKit::UILabel>("timerLabel");
    return label ? label->text() : std::nullopt;
  }

  int closes = 0;
};

TEST_F(WaitTimer, TheScreenCountsDownFromItsAppearanceAndClosesOnTheSixtiethTick) {
  auto wait = show(block(60));
  EXPECT_EQ(shown(), "60");
  std::vector<std::string> seen;
  for (int tick = 1; tick <= 59; ++tick) {
    advance(1);
    seen.push_back(shown().value_or("?"));
  }
  std::vector<std::string> expected;
  for (int left = 59; left >= 1; --left) expected.push_back(std::to_string(left));
  EXPECT_EQ(seen, expected);  // "9", not "09"
  EXPECT_EQ(closes, 0);
  advance(1);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(shown(), "1");
  EXPECT_EQ(wait->viewModel->timeLimit(), 1);
  advance(5);
  EXPECT_EQ(closes, 1);
}

struct ShortRow {
  const char* name;
  std::int64_t seconds;
};

class AShortCountdown : public WaitTimer, public ::testing::WithParamInterface<ShortRow> {};

TEST_P(AShortCountdown, EndsOnItsFirstTickAndKeepsItsTime) {
  auto countdown = block(GetParam().seconds);
  show(countdown);
  EXPECT_EQ(shown(), std::to_string(GetParam().seconds));
  advance(0.999);
  EXPECT_EQ(closes, 0);
  advance(0.001);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(countdown->timeLimit(), GetParam().seconds);
  advance(3);
  EXPECT_EQ(closes, 1);
}

INSTANTIATE_TEST_SUITE_P(Rows, AShortCountdown,
                         ::testing::Values(ShortRow{"one", 1}, ShortRow{"zero", 0},
                                           ShortRow{"negative", -3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WaitTimer, ASecondStartWhileItRunsDoesNothing) {
  auto countdown = block(5);
  countdown->fireTimer();
  advance(0.5);
  countdown->fireTimer();
  advance(0.5);
  EXPECT_EQ(countdown->timeLimit(), 4);
  advance(1);
  EXPECT_EQ(countdown->timeLimit(), 3);
}

TEST_F(WaitTimer, ReleasingTheCountdownStopsItsTimer) {
  const auto pending = RunLoopCore::Scheduler::shared().nextDue();
  auto countdown = block(5);
  countdown->fireTimer();
  EXPECT_NE(RunLoopCore::Scheduler::shared().nextDue(), pending);
  countdown.reset();
  EXPECT_EQ(RunLoopCore::Scheduler::shared().nextDue(), pending);
}

TEST_F(WaitTimer, AScreenGoneDuringTheCountdownLeavesItRunningToItsEnd) {
  auto countdown = block(3);
  {
    auto wait = show(countdown);
    advance(1);
    EXPECT_EQ(shown(), "2");
    wait->willMove(nullptr);
    wait->view()->removeFromSuperview();
    wait->removeFromParent();
  }
  EXPECT_EQ(countdown->delegate(), nullptr);
  advance(1);
  EXPECT_EQ(countdown->timeLimit(), 1);
  advance(1);
  EXPECT_EQ(closes, 1);
}

TEST_F(WaitTimer, AScreenWithoutACountdownStaysInert) {
  auto wait = show(nullptr);
  advance(2);
  EXPECT_EQ(shown(), "60");  // the file's own text
}

}  // namespace
