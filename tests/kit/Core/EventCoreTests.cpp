#include <ZTEventCore.hpp>
#include <ZTEventsRegistration.hpp>

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <Foundation/NotificationCenter.hpp>
#include <Foundation/OperationQueue.hpp>
#include <Foundation/Thread.hpp>

#include "support/RunLoopSupport.hpp"

using ZentrelSDK::ZTEventCore;
using ZentrelSDK::ZTEvents;
using ZentrelSDK::ZTEventsRegistration;

namespace {

struct Listener {
  int value = 0;
};

std::uintptr_t keyOf(const void* object) {
  return reinterpret_cast<std::uintptr_t>(object);
}

std::optional<std::vector<ZTEventCore::NamedObserver>> entriesOf(const void* target) {
  const auto cache = ZTEventCore::Static::instance()->cache();
  const auto it = cache.find(keyOf(target));
  if (it == cache.end()) return std::nullopt;
  return it->second;
}

// Registers on the posting thread, so a post has reached every listener when it returns.
ZTEventCore::Observer count(const ZTEventCore::Target& target, const std::string& name,
                            std::atomic<int>& counter) {
  return ZTEventCore::on(target, name, std::nullopt, nullptr,
                         [&counter](const auto&) { ++counter; });
}

}  // namespace

TEST(ZTEventCoreRegistrations, TwiceRegisteredListenerRunsTwiceAndOneNameRemovalEndsBoth) {
  Listener target;
  std::atomic<int> heard{0};
  const ZTEventsRegistration registration(&target);  // also on an early return
  count(&target, "core.twice", heard);
  count(&target, "core.twice", heard);
  ASSERT_EQ(entriesOf(&target)->size(), 2u);

  ZTEventCore::post("core.twice");
  EXPECT_EQ(heard, 2);

  ZTEventCore::unregister(&target, "core.twice");
  ZTEventCore::post("core.twice");
  EXPECT_EQ(heard, 2);

  // The emptied list stays until the target is unregistered as a whole.
  const auto entries = entriesOf(&target);
  ASSERT_TRUE(entries.has_value());
  EXPECT_TRUE(entries->empty());
  ZTEventCore::unregister(&target);
  EXPECT_FALSE(entriesOf(&target).has_value());
}

TEST(ZTEventCoreRegistrations, RegistrationsFromManyThreadsAreAllKeptAndAllRemoved) {
  auto& center = Foundation::NotificationCenter::defaultCenter();
  const auto before = center.observerCount();
  constexpr int kThreads = 8;
  constexpr int kPerThread = 25;
  std::vector<Listener> targets(kThreads);
  std::atomic<int> heard{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kPerThread; ++i) count(&targets[t], "core.threads", heard);
    });
  }
  for (auto& thread : threads) thread.join();
  for (const auto& target : targets) EXPECT_EQ(entriesOf(&target)->size(), std::size_t{kPerThread});

  ZTEventCore::post("core.threads");
  EXPECT_EQ(heard, kThreads * kPerThread);

  threads.clear();
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] { ZTEventCore::unregister(&targets[t]); });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(center.observerCount(), before);
  for (const auto& target : targets) EXPECT_FALSE(entriesOf(&target).has_value());
}

TEST(ZTEventCoreThreads, BackgroundListenersRunOffTheMainThreadEachOnAQueueOfItsOwn) {
  Listener target;
  std::mutex mutex;
  std::vector<Foundation::OperationQueue*> queues;
  std::atomic<int> offMain{0};
  const ZTEventsRegistration registration(&target);  // also on an early return
  for (int i = 0; i < 2; ++i) {
    ZTEventCore::onBackgroundThread(&target, "core.background", std::nullopt, [&](const auto&) {
      if (!Foundation::Thread::isMainThread()) ++offMain;
      std::lock_guard lock(mutex);
      queues.push_back(Foundation::OperationQueue::current());
    });
  }
  ZTEventCore::post("core.background");
  ASSERT_TRUE(zttest::runUntil([&] {
    std::lock_guard lock(mutex);
    return queues.size() == 2;
  }));
  EXPECT_EQ(offMain, 2);
  std::lock_guard lock(mutex);
  EXPECT_NE(queues[0], nullptr);
  EXPECT_NE(queues[1], nullptr);
  EXPECT_NE(queues[0], queues[1]);
  EXPECT_NE(queues[0], Foundation::OperationQueue::main().get());
  EXPECT_NE(queues[1], Foundation::OperationQueue::main().get());
  ZTEventCore::unregister(&target);
}

TEST(ZTEventCoreSenders, ASenderFilteredRegistrationHearsOnlyItsSender) {
  Listener target;
  auto sender = std::make_shared<int>(1);
  auto other = std::make_shared<int>(1);
  std::atomic<int> filtered{0}, unfiltered{0};
  ZTEventCore::on(&target, "core.sender", ZTEventCore::bridge(sender), nullptr,
                  [&](const auto&) { ++filtered; });
  ZTEventCore::on(&target, "core.sender", std::nullopt, nullptr,
                  [&](const auto&) { ++unfiltered; });

  ZTEventCore::post("core.sender", sender);
  ZTEventCore::post("core.sender", other);
  ZTEventCore::post("core.sender");
  ZTEventCore::post("core.sender", 1);
  EXPECT_EQ(filtered, 1);
  EXPECT_EQ(unfiltered, 4);
  ZTEventCore::unregister(&target);
}

TEST(ZTEventCoreSenders, ObjectsKeepTheirIdentityValuesAreBoxedAndUserInfoArrives) {
  Listener target;
  std::vector<Foundation::Notification> received;
  const ZTEventsRegistration registration(&target);  // also on an early return
  ZTEventCore::on(&target, "core.payload", std::nullopt, nullptr,
                  [&](const auto& notification) { received.push_back(*notification); });
  auto object = std::make_shared<std::string>("object");
  std::shared_ptr<std::string> nothing;

  ZTEventCore::post("core.payload", object);
  ZTEventCore::post("core.payload", "text");
  ZTEventCore::post("core.payload", std::optional<int>(7));
  ZTEventCore::post("core.payload", std::optional<int>());
  ZTEventCore::post("core.payload", nothing);
  ZTEventCore::post("core.payload", std::nullopt, ZTEventCore::UserInfo{{"count", 3}});

  ASSERT_EQ(received.size(), 6u);
  ASSERT_TRUE(received[0].object.has_value());
  EXPECT_EQ(received[0].object->identity(), object.get());
  ASSERT_NE(received[0].object->get<std::shared_ptr<std::string>>(), nullptr);
  EXPECT_EQ(*received[0].object->get<std::shared_ptr<std::string>>(), object);
  ASSERT_NE(received[1].object->get<std::string>(), nullptr);
  EXPECT_EQ(*received[1].object->get<std::string>(), "text");
  EXPECT_EQ(received[1].object->identity(), nullptr);
  ASSERT_NE(received[2].object->get<int>(), nullptr);
  EXPECT_EQ(*received[2].object->get<int>(), 7);
  EXPECT_FALSE(received[3].object.has_value());
  EXPECT_FALSE(received[4].object.has_value());
  EXPECT_FALSE(received[5].object.has_value());
  ASSERT_TRUE(received[5].userInfo.has_value());
  EXPECT_EQ(std::any_cast<int>(received[5].userInfo->at("count")), 3);
  for (const auto& notification : received) EXPECT_EQ(notification.name, "core.payload");
  ZTEventCore::unregister(&target);
}

TEST(ZTEventCoreLifetime, ASharedTargetIsHeardOnlyWhileItLives) {
  auto target = std::make_shared<Listener>();
  const void* address = target.get();
  std::atomic<int> heard{0};
  ZTEventCore::on(target, "core.weak", std::nullopt, nullptr,
                  [&heard, raw = target.get()](const auto&) {
                    ++raw->value;  // safe only because the bus holds the target weakly
                    ++heard;
                  });
  ZTEventCore::post("core.weak");
  EXPECT_EQ(heard, 1);
  EXPECT_EQ(target->value, 1);

  target.reset();
  ZTEventCore::post("core.weak");
  EXPECT_EQ(heard, 1);
  ZTEventCore::unregister(address);
}

namespace {

struct Screen {
  int heard = 0;
  ZTEventsRegistration events{this};
};

}  // namespace

TEST(ZTEventCoreLifetime, RegistrationHelperEndsListenersSoAnObjectAtTheSameAddressStartsClean) {
  auto& center = Foundation::NotificationCenter::defaultCenter();
  const auto before = center.observerCount();
  std::optional<Screen> slot;
  slot.emplace();
  Screen* first = &*slot;
  auto listen = [](Screen* screen) {
    ZTEvents::shared()->oauthCodeEventListen(screen, [screen](auto) { ++screen->heard; });
  };
  listen(first);
  EXPECT_EQ(center.observerCount(), before + 1);

  slot.reset();
  EXPECT_EQ(center.observerCount(), before);
  EXPECT_FALSE(entriesOf(first).has_value());

  slot.emplace();
  Screen* second = &*slot;
  ASSERT_EQ(second, first);
  EXPECT_FALSE(entriesOf(second).has_value());
  // A stale listener of the first screen would count into the second one here. The sentinel
  // registered later, so once it has heard the post every earlier listener has run.
  Listener sentinel;
  std::atomic<int> sentinelHeard{0};
  const ZTEventsRegistration registration(&sentinel);  // also on an early return
  ZTEvents::shared()->oauthCodeEventListen(&sentinel, [&](auto) { ++sentinelHeard; });
  ZTEvents::shared()->oauthCodeEventEmit("one");
  ASSERT_TRUE(zttest::runUntil([&] { return sentinelHeard == 1; }));
  EXPECT_EQ(second->heard, 0);

  listen(second);
  ZTEvents::shared()->oauthCodeEventEmit("two");
  ASSERT_TRUE(zttest::runUntil([&] { return second->heard > 0; }));
  EXPECT_EQ(second->heard, 1);
  slot.reset();
  ZTEvents::shared()->unregiterEvents(&sentinel);
  EXPECT_EQ(center.observerCount(), before);
}
