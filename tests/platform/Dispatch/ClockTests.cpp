#include <gtest/gtest.h>

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/RunLoop.hpp>
#include <Foundation/Timer.hpp>
#include <Testing/ManualClock.hpp>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "support/LateCallbacks.hpp"
#include "support/RunLoopSupport.hpp"

using Dispatch::DispatchQueue;
using Foundation::Timer;
using PlatformTesting::ManualClock;

class ManualClockTest : public ::testing::Test {
 protected:
  void SetUp() override { clock = &ManualClock::install(); }
  void TearDown() override { ManualClock::uninstall(); }
  ManualClock* clock = nullptr;
};

TEST_F(ManualClockTest, DelayedBlocksFireInDueOrderOnlyWhenTheClockReachesThem) {
  auto fired = std::make_shared<std::vector<std::string>>();
  const double start = clock->now();
  auto firedAt = std::make_shared<std::vector<double>>();
  DispatchQueue::main().asyncAfter(2.0, [fired, firedAt, start] {
    fired->push_back("b");
    firedAt->push_back(Foundation::Clock::current().now() - start);
  });
  DispatchQueue::main().asyncAfter(1.0, [fired, firedAt, start] {
    fired->push_back("a");
    firedAt->push_back(Foundation::Clock::current().now() - start);
  });
  DispatchQueue::main().asyncAfter(5.0, [fired] { fired->push_back("c"); });

  Foundation::RunLoop::main().run(0.02);  // real time passes, the manual clock does not
  EXPECT_TRUE(fired->empty());

  clock->advance(2.5);
  EXPECT_EQ(*fired, (std::vector<std::string>{"a", "b"}));
  ASSERT_EQ(firedAt->size(), 2u);
  EXPECT_DOUBLE_EQ((*firedAt)[0], 1.0);
  EXPECT_DOUBLE_EQ((*firedAt)[1], 2.0);

  clock->advance(2.5);
  EXPECT_EQ(fired->size(), 3u);
}

TEST_F(ManualClockTest, ZeroDelayRunsOnALaterTurnNotInline) {
  auto ran = zttest::flag();
  DispatchQueue::main().asyncAfter(0, zttest::raise(ran));
  EXPECT_FALSE(*ran);
  ASSERT_TRUE(zttest::runUntil([&] { return *ran; }, 1.0));
}

TEST_F(ManualClockTest, DelayedBlockOnAWorkerQueueIsReleasedByTheAdvance) {
  auto ran = std::make_shared<std::atomic<bool>>(false);
  DispatchQueue queue("com.zentrel.tests.delayed");
  queue.asyncAfter(3.0, [ran, queue] { *ran = queue.isCurrent(); });
  clock->advance(2.9);
  queue.sync([] {});
  EXPECT_FALSE(*ran);
  clock->advance(0.1);
  ASSERT_TRUE(zttest::runUntil([&] { return ran->load(); }, 5.0));
}

TEST_F(ManualClockTest, RepeatingTimerFiresOncePerIntervalUntilInvalidated) {
  auto count = zttest::counter();
  auto timer = Timer::scheduledTimer(1.0, true, [count](Timer& t) {
    if (++*count == 4) t.invalidate();
  });
  clock->advance(0.5);
  EXPECT_EQ(*count, 0);
  clock->advance(2.5);  // t = 3.0
  EXPECT_EQ(*count, 3);
  EXPECT_TRUE(timer->isValid());
  clock->advance(10);
  EXPECT_EQ(*count, 4);
  EXPECT_FALSE(timer->isValid());
}

TEST_F(ManualClockTest, ARepeatingBlockKeepsItsOwnStateFromFiringToFiring) {
  std::vector<int> seen;
  auto timer = Timer::scheduledTimer(
      1.0, true, [&seen, ticks = 0](Timer&) mutable { seen.push_back(++ticks); });
  clock->advance(3);
  timer->invalidate();
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
}

TEST_F(ManualClockTest, AnEndedTimerLetsGoOfWhatItsBlockHolds) {
  struct Owner {
    std::shared_ptr<Timer> timer;
    int ticks = 0;
  };
  enum class End { fromOutside, fromItsOwnBlock, afterItsOneFiring, firedByHand };
  for (const End end :
       {End::fromOutside, End::fromItsOwnBlock, End::afterItsOneFiring, End::firedByHand}) {
    auto owner = std::make_shared<Owner>();
    const bool repeats = end == End::fromOutside || end == End::fromItsOwnBlock;
    // The owner keeps its timer and the timer's block keeps the owner, as a screen does.
    owner->timer = Timer::scheduledTimer(1.0, repeats, [owner, end](Timer& t) {
      ++owner->ticks;
      if (end == End::fromItsOwnBlock) t.invalidate();
      ++owner->ticks;  // the block still has what it holds while it runs
    });
    std::weak_ptr<Owner> watched = owner;
    auto timer = owner->timer;
    owner.reset();
    if (end == End::fromOutside) timer->invalidate();
    if (end == End::firedByHand) timer->fire();
    clock->advance(3);
    EXPECT_FALSE(timer->isValid()) << static_cast<int>(end);
    EXPECT_TRUE(watched.expired()) << static_cast<int>(end);
  }
}

TEST_F(ManualClockTest, TimersAndDelayedBlocksInterleaveByDueTime) {
  auto log = std::make_shared<std::vector<std::string>>();
  auto timer = Timer::scheduledTimer(1.0, true, [log](Timer&) { log->push_back("tick"); });
  DispatchQueue::main().asyncAfter(1.5, [log] { log->push_back("half"); });
  // A block scheduled by a firing within the window fires in the same advance.
  DispatchQueue::main().asyncAfter(
      0.2, [log] { DispatchQueue::main().asyncAfter(2.0, [log] { log->push_back("nested"); }); });
  clock->advance(3.0);
  timer->invalidate();
  EXPECT_EQ(*log, (std::vector<std::string>{"tick", "half", "tick", "nested", "tick"}));
}

TEST(RealClock, TimerFiresOnTheMainRunLoop) {
  auto fired = zttest::flag();
  auto onMainQueue = zttest::flag();
  auto timer = Timer::scheduledTimer(0.01, false, [fired, onMainQueue](Timer&) {
    *onMainQueue = DispatchQueue::main().isCurrent();
    *fired = true;
  });
  ASSERT_TRUE(zttest::runUntil([&] { return *fired; }, 5.0));
  EXPECT_TRUE(*onMainQueue);
}
