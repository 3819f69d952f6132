#include <gtest/gtest.h>

#include <Foundation/NotificationCenter.hpp>
#include <Foundation/OperationQueue.hpp>

#include <atomic>
#include <thread>

#include "support/RunLoopSupport.hpp"

using Foundation::Any;
using Foundation::Notification;
using Foundation::NotificationCenter;
using Foundation::OperationQueue;

TEST(OperationQueue, EachQueueHasAThreadOfItsOwnAndKeepsOrder) {
  auto a = std::make_shared<OperationQueue>();
  auto b = std::make_shared<OperationQueue>();
  std::thread::id ta, tb;
  std::vector<int> order;
  bool currentMatches = true;
  for (int i = 0; i < 50; ++i) {
    a->addOperation([&, i] {
      ta = std::this_thread::get_id();
      order.push_back(i);
      currentMatches = currentMatches && OperationQueue::current() == a.get();
    });
  }
  b->addOperation([&] { tb = std::this_thread::get_id(); });
  a->waitUntilAllOperationsAreFinished();
  b->waitUntilAllOperationsAreFinished();
  EXPECT_NE(ta, tb);
  EXPECT_NE(ta, std::this_thread::get_id());
  EXPECT_TRUE(currentMatches);
  ASSERT_EQ(order.size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(order[i], i);
}

TEST(OperationQueue, DestroyedByItsOwnOperationStillFinishes) {
  // The last owner goes away inside the queue's own thread: while the operation runs, or with
  // the finished operation.
  struct LastOwner {
    LastOwner(std::shared_ptr<OperationQueue> q, std::shared_ptr<std::atomic<bool>> d)
        : queue(std::move(q)), done(std::move(d)) {}
    std::shared_ptr<OperationQueue> queue;
    std::shared_ptr<std::atomic<bool>> done;
    ~LastOwner() {
      queue.reset();
      *done = true;
    }
  };
  for (const bool whileRunning : {true, false}) {
    SCOPED_TRACE(whileRunning ? "while it runs" : "with the finished operation");
    auto done = std::make_shared<std::atomic<bool>>(false);
    auto queue = std::make_shared<OperationQueue>();
    auto* raw = queue.get();
    auto owner = std::make_shared<LastOwner>(std::move(queue), done);
    raw->addOperation([owner = std::move(owner), whileRunning]() mutable {
      if (whileRunning) owner.reset();
    });
    ASSERT_TRUE(zttest::runUntil([&] { return done->load(); }));
  }
}

TEST(NotificationCenter, QueuedDeliveryRunsOnTheQueueAndStopsAfterRemoval) {
  auto& center = NotificationCenter::defaultCenter();
  auto queue = std::make_shared<OperationQueue>();
  std::atomic<int> heard{0};
  std::atomic<bool> onQueue{true};
  auto token = center.addObserver("queued", std::nullopt, queue, [&](const Notification&) {
    onQueue = onQueue && OperationQueue::current() == queue.get();
    ++heard;
  });
  center.post("queued");
  center.post("queued");
  queue->waitUntilAllOperationsAreFinished();
  EXPECT_EQ(heard, 2);
  EXPECT_TRUE(onQueue);

  // Hold the queue so a delivery is pending when the observer is removed.
  std::atomic<bool> release{false};
  queue->addOperation([&] {
    while (!release) std::this_thread::yield();
  });
  center.post("queued");
  center.removeObserver(token);
  release = true;
  queue->waitUntilAllOperationsAreFinished();
  EXPECT_EQ(heard, 2);
}

TEST(NotificationCenter, ConcurrentAddPostRemoveIsSafe) {
  auto& center = NotificationCenter::defaultCenter();
  std::atomic<int> heard{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 200; ++i) {
        auto token = center.addObserver("stress", std::nullopt, nullptr,
                                        [&](const Notification&) { ++heard; });
        center.post("stress");
        center.removeObserver(token);
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_GE(heard, 800);
}
