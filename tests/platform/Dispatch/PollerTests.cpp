#include <gtest/gtest.h>

#include <RunLoopCore/Poller.hpp>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <string>

#include "support/LateCallbacks.hpp"

using RunLoopCore::Poller;

namespace {

// A pipe whose read end the poller watches.
struct WatchedPipe {
  explicit WatchedPipe(Poller& poller) {
    EXPECT_EQ(::pipe2(fds.data(), O_NONBLOCK | O_CLOEXEC), 0);
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fds[0];
    EXPECT_EQ(::epoll_ctl(poller.fd(), EPOLL_CTL_ADD, fds[0], &event), 0);
  }
  ~WatchedPipe() {
    ::close(fds[0]);
    ::close(fds[1]);
  }
  void write() const { EXPECT_EQ(::write(fds[1], "x", 1), 1); }
  void drain() const {
    char byte = 0;
    while (::read(fds[0], &byte, 1) > 0) {
    }
  }
  std::array<int, 2> fds{};
};

enum class Signal { readiness, wake, both };

}  // namespace

// Back-to-back rounds answered within microseconds are what makes a spinning poller spin, so
// each row plays many of them: every readiness and every wake-up must end its wait, however
// the wait is spent when it arrives.
TEST(Poller, EveryReadinessAndWakeEndsItsWaitWhetherThePollerSpinsOrSleeps) {
  struct Row {
    std::string name;
    bool spins;
    Signal signal;
  };
  const Row rows[] = {
      {"sleeping, readiness", false, Signal::readiness},
      {"sleeping, wake-up", false, Signal::wake},
      {"spinning, readiness", true, Signal::readiness},
      {"spinning, wake-up", true, Signal::wake},
      {"spinning, readiness and wake-up", true, Signal::both},
  };
  constexpr int kRounds = 300;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Poller poller(row.spins);
    WatchedPipe pipe(poller);
    std::atomic<int> asked{0};
    std::atomic<bool> stop{false};
    // The other side signals round n once the waiter has asked for it.
    zttest::JoinedThread other(
        [&] {
          for (int n = 1; n <= kRounds && !stop; ++n) {
            while (asked.load() < n && !stop) {
            }
            if (row.signal != Signal::wake) pipe.write();
            if (row.signal != Signal::readiness) poller.wake();
          }
        },
        [&] { stop = true; });
    int heard = 0;
    for (int n = 1; n <= kRounds; ++n) {
      asked = n;
      std::array<epoll_event, 4> events{};
      const int ready = poller.wait(events.data(), static_cast<int>(events.size()), 60);
      if (row.signal == Signal::wake) {
        ASSERT_EQ(ready, 0) << "round " << n;
        continue;
      }
      if (ready == 0) {  // the wake-up came first; the byte follows
        ASSERT_EQ(row.signal, Signal::both) << "round " << n;
        ASSERT_EQ(poller.wait(events.data(), static_cast<int>(events.size()), 60), 1);
      }
      ASSERT_EQ(events[0].data.fd, pipe.fds[0]) << "round " << n;
      pipe.drain();
      ++heard;
    }
    other.join();
    EXPECT_EQ(heard, row.signal == Signal::wake ? 0 : kRounds);
  }
}

TEST(Poller, AWaitWithNothingReadyLastsItsWholeTimeoutAfterSpinning) {
  for (const bool spins : {false, true}) {
    SCOPED_TRACE(spins ? "spinning" : "sleeping");
    Poller poller(spins);
    WatchedPipe pipe(poller);
    std::array<epoll_event, 4> events{};
    // Quick rounds first, so a spinning poller spins into the last wait.
    for (int n = 0; n < 20; ++n) {
      pipe.write();
      ASSERT_EQ(poller.wait(events.data(), static_cast<int>(events.size()), 60), 1);
      pipe.drain();
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(poller.wait(events.data(), static_cast<int>(events.size()), 0.02), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
  }
}
