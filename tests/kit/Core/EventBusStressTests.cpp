// Bounded stress of the event bus: several threads register, unregister, destroy owners and
// post at once for about a second, then stop by themselves.
#include <ZTEventCore.hpp>
#include <ZTEventsRegistration.hpp>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <Dispatch/DispatchQueue.hpp>

#include "support/RunLoopSupport.hpp"

using ZentrelSDK::ZTEventCore;
using ZentrelSDK::ZTEventsRegistration;

namespace {

constexpr int kThreads = 8;
constexpr int kNames = 4;
constexpr int kMaxRounds = 4000;  // per thread
constexpr auto kBudget = std::chrono::milliseconds(1200);

std::string nameOf(int i) {
  return "stress.bus." + std::to_string(i % kNames);
}

enum class Delivery { postingThread, mainQueue, ownQueue };

ZTEventCore::Observer listen(Delivery delivery, const ZTEventCore::Target& target,
                             const std::string& name, ZTEventCore::Handler handler) {
  switch (delivery) {
    case Delivery::postingThread:
      return ZTEventCore::on(target, name, std::nullopt, nullptr, std::move(handler));
    case Delivery::mainQueue:
      return ZTEventCore::onMainThread(target, name, std::nullopt, std::move(handler));
    case Delivery::ownQueue:
      return ZTEventCore::onBackgroundThread(target, name, std::nullopt, std::move(handler));
  }
  return nullptr;
}

// Handlers do a little work so that calls overlap removals.
unsigned busyWork(int seed) {
  volatile unsigned x = static_cast<unsigned>(seed);
  for (unsigned i = 0; i < 1000; ++i) x = x * 31u + i;
  return x;
}

// Runs what the main queue holds now: deliveries queued there find their registrations removed.
void drainMainQueue() {
  auto drained = std::make_shared<std::atomic<bool>>(false);
  Dispatch::DispatchQueue::main().async([drained] { *drained = true; });
  EXPECT_TRUE(zttest::runUntil([&] { return drained->load(); }, 10.0));
}

// Runs `round(thread, i)` on kThreads workers until the budget or the round limit is spent,
// serving the main queue meanwhile. A deadlock ends the program with a message rather than
// hanging the suite.
template <class Round>
int runWorkers(Round round) {
  const auto deadline = std::chrono::steady_clock::now() + kBudget;
  std::atomic<int> finished{0};
  std::atomic<int> rounds{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kMaxRounds && std::chrono::steady_clock::now() < deadline; ++i) {
        round(t, i);
        ++rounds;
      }
      ++finished;
    });
  }
  if (!zttest::runUntil([&] { return finished == kThreads; }, 60.0)) {
    std::fprintf(stderr, "event bus stress: workers still blocked after 60 s\n");
    std::abort();
  }
  for (auto& thread : threads) thread.join();
  drainMainQueue();
  return rounds;
}

struct Slot {
  std::atomic<bool> unregistered{false};
  std::atomic<int> inside{0};
};

}  // namespace

TEST(EventBusStress, NoCallStartsOrRunsOnceUnregisterHasReturned) {
  std::atomic<int> lateStarts{0};
  std::atomic<int> stillRunning{0};
  std::atomic<int> calls{0};
  const int rounds = runWorkers([&](int t, int i) {
    const auto delivery = static_cast<Delivery>((t + i) % 3);
    auto slot = std::make_unique<Slot>();
    Slot* s = slot.get();
    listen(delivery, s, nameOf(t), [&, s](const auto&) {
      if (s->unregistered) ++lateStarts;
      ++s->inside;
      ++calls;
      busyWork(i);
      // Handlers that use the bus themselves must not deadlock a removal waiting for them.
      if (i % 16 == 0) {
        int temporary = 0;
        ZTEventCore::on(&temporary, "stress.bus.temporary", std::nullopt, nullptr,
                        [](const auto&) {});
        ZTEventCore::unregister(&temporary);
      }
      --s->inside;
    });
    for (int k = 0; k < 3; ++k) ZTEventCore::post(nameOf(t + k));
    ZTEventCore::unregister(s);
    s->unregistered = true;
    if (s->inside != 0) ++stillRunning;
  });
  EXPECT_GT(rounds, kThreads);
  EXPECT_GT(calls, 0);
  EXPECT_EQ(lateStarts, 0);
  EXPECT_EQ(stillRunning, 0);
}

namespace {

// Holds its registrations as its last member, as the kit's screens do: destroying the owner
// ends them before any other member goes.
struct Owner {
  std::vector<int> data = std::vector<int>(64, 7);
  ZTEventsRegistration events{this};
};

}  // namespace

TEST(EventBusStress, OwnersDestroyedWhilePostingAreNeverCalledAfterwards) {
  std::atomic<long> sum{0};
  const int rounds = runWorkers([&](int t, int i) {
    auto owner = std::make_unique<Owner>();
    Owner* o = owner.get();
    for (int d = 0; d < 3; ++d) {
      listen(static_cast<Delivery>(d), o, nameOf(t + d), [o, &sum, i](const auto&) {
        sum += o->data[static_cast<std::size_t>(i) % o->data.size()];
        busyWork(i);
        sum += o->data.front();
      });
    }
    for (int k = 0; k < kNames; ++k) ZTEventCore::post(nameOf(t + k));
    owner.reset();  // while the other threads keep posting the same names
    for (int k = 0; k < kNames; ++k) ZTEventCore::post(nameOf(t + k));
  });
  EXPECT_GT(rounds, kThreads);
  EXPECT_GT(sum, 0);
}

namespace {

struct SelfRemoval {
  const char* name;
  Delivery delivery;
  bool byName;
};

class EventBusSelfRemoval : public ::testing::TestWithParam<SelfRemoval> {};

}  // namespace

TEST_P(EventBusSelfRemoval, AHandlerUnregisteringItselfDoesNotWaitForItself) {
  const auto& c = GetParam();
  const std::string name = std::string("stress.self.") + c.name;
  int target = 0;
  std::atomic<int> heard{0};
  std::atomic<bool> returned{false};
  const ZTEventsRegistration registration(&target);  // also on an early return
  listen(c.delivery, &target, name, [&](const auto&) {
    ++heard;
    if (c.byName) {
      ZTEventCore::unregister(&target, name);
    } else {
      ZTEventCore::unregister(&target);
    }
    returned = true;
  });
  ZTEventCore::post(name);
  ASSERT_TRUE(zttest::runUntil([&] { return returned.load(); }, 10.0));
  ZTEventCore::post(name);
  drainMainQueue();
  EXPECT_EQ(heard, 1);
  ZTEventCore::unregister(&target);
}

INSTANTIATE_TEST_SUITE_P(
    Deliveries, EventBusSelfRemoval,
    ::testing::Values(SelfRemoval{"postingThreadAll", Delivery::postingThread, false},
                      SelfRemoval{"postingThreadName", Delivery::postingThread, true},
                      SelfRemoval{"mainQueueAll", Delivery::mainQueue, false},
                      SelfRemoval{"mainQueueName", Delivery::mainQueue, true},
                      SelfRemoval{"ownQueueAll", Delivery::ownQueue, false},
                      SelfRemoval{"ownQueueName", Delivery::ownQueue, true}),
    [](const ::testing::TestParamInfo<SelfRemoval>& info) { return std::string(info.param.name); });
