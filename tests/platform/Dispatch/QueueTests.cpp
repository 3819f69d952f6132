#include <gtest/gtest.h>

#include <Dispatch/DispatchQueue.hpp>
#include <Dispatch/DispatchSemaphore.hpp>
#include <Foundation/RunLoop.hpp>
#include <Foundation/Thread.hpp>

#include <atomic>
#include <memory>
#include <vector>

#include "support/RunLoopSupport.hpp"

using Dispatch::DispatchQueue;

TEST(MainQueue, NeverRunsInlineAndKeepsOrder) {
  auto order = std::make_shared<std::vector<int>>();
  DispatchQueue::main().async([order] {
    order->push_back(1);
    DispatchQueue::main().async([order] { order->push_back(3); });
    order->push_back(2);
  });
  EXPECT_TRUE(order->empty());
  ASSERT_TRUE(zttest::runUntil([&] { return order->size() == 3; }));
  EXPECT_EQ(*order, (std::vector<int>{1, 2, 3}));
}

TEST(MainQueue, SyncFromWorkerWaitsForTheRunLoop) {
  struct State {
    std::atomic<bool> finished{false};
    int value = 0;
  };
  auto state = std::make_shared<State>();
  DispatchQueue::global().async([state] {
    DispatchQueue::main().sync([&] { state->value = 42; });
    state->finished = true;
  });
  ASSERT_TRUE(zttest::runUntil([&] { return state->finished.load(); }));
  EXPECT_EQ(state->value, 42);
}

TEST(SerialQueue, RunsOneAtATimeInOrder) {
  DispatchQueue queue("com.zentrel.tests.serial");
  std::vector<int> order;
  std::atomic<int> inside{0};
  std::atomic<bool> overlapped{false};
  for (int i = 0; i < 200; ++i) {
    queue.async([&, i] {
      if (++inside > 1) overlapped = true;
      order.push_back(i);
      --inside;
    });
  }
  queue.sync([] {});
  EXPECT_FALSE(overlapped);
  ASSERT_EQ(order.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(order[i], i);
}

TEST(SerialQueue, SyncOntoItselfStopsInsteadOfHanging) {
  // Re-executes the binary: a forked child would inherit a pool without its threads.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        DispatchQueue queue("com.zentrel.tests.self");
        queue.sync([&] { queue.sync([] {}); });
      },
      "would deadlock");
}

TEST(GlobalQueue, RunsConcurrentlyOffTheMainThread) {
  // Two blocks that each wait for the other can only finish if they run at the same time.
  struct State {
    Dispatch::DispatchSemaphore a{0}, b{0};
    std::atomic<int> offMain{0};
    std::atomic<int> finished{0};
  };
  auto state = std::make_shared<State>();
  DispatchQueue::global().async([state] {
    if (!Foundation::Thread::isMainThread()) ++state->offMain;
    state->a.signal();
    state->b.wait();
    ++state->finished;
  });
  DispatchQueue::global(Dispatch::QoS::UserInitiated).async([state] {
    if (!Foundation::Thread::isMainThread()) ++state->offMain;
    state->b.signal();
    state->a.wait();
    ++state->finished;
  });
  ASSERT_TRUE(zttest::runUntil([&] { return state->finished == 2; }));
  EXPECT_EQ(state->offMain, 2);
}

// What a finished block held may hand work on to a queue as it goes.
TEST(GlobalQueue, WhatAFinishedBlockHeldMayDispatchAsItGoes) {
  struct Leaving {
    explicit Leaving(std::shared_ptr<std::atomic<bool>> d) : done(std::move(d)) {}
    std::shared_ptr<std::atomic<bool>> done;
    ~Leaving() {
      DispatchQueue::global().async([done = done] { *done = true; });
    }
  };
  auto done = std::make_shared<std::atomic<bool>>(false);
  DispatchQueue::global().async([leaving = std::make_shared<Leaving>(done)] {});
  ASSERT_TRUE(zttest::runUntil([&] { return done->load(); }));
}

TEST(Semaphore, TimesOutAndCountsSignals) {
  Dispatch::DispatchSemaphore semaphore(0);
  EXPECT_EQ(semaphore.wait(0.01), Dispatch::DispatchTimeoutResult::timedOut);
  semaphore.signal();
  semaphore.signal();
  EXPECT_EQ(semaphore.wait(0.01), Dispatch::DispatchTimeoutResult::success);
  EXPECT_EQ(semaphore.wait(0.01), Dispatch::DispatchTimeoutResult::success);
  EXPECT_EQ(semaphore.wait(0.01), Dispatch::DispatchTimeoutResult::timedOut);
}

TEST(RunLoop, RunUntilGivesUpAtTheRealTimeLimit) {
  EXPECT_FALSE(Foundation::RunLoop::main().runUntil([] { return false; }, 0.05));
}
