#include <gtest/gtest.h>

#include <RunLoopCore/Poller.hpp>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>

#include "support/LateCallbacks.hpp"

// Rounds answered within microseconds are what makes a spinning poller spin: every readiness
// and every wake-up must still end its wait, and a wait with nothing coming lasts its timeout.
TEST(Poller, EachSignalEndsItsWaitAndSilenceLastsTheTimeoutWhetherItSpinsOrSleeps) {
  for (const bool spins : {false, true}) {
    for (const bool wakes : {false, true}) {
      SCOPED_TRACE(std::string(spins ? "spinning, " : "sleeping, ") + (wakes ? "wake" : "byte"));
      RunLoopCore::Poller poller(spins);
      std::array<int, 2> pipe{};
      ASSERT_EQ(::pipe2(pipe.data(), O_NONBLOCK | O_CLOEXEC), 0);
      poller.watch(pipe[0], EPOLLIN);
      constexpr int kRounds = 300;
      std::atomic<int> asked{0};
      std::atomic<bool> stop{false};
      zttest::JoinedThread other(
          [&] {
            for (int n = 1; n <= kRounds && !stop; ++n) {
              while (asked.load() < n && !stop) {
              }
              if (wakes) {
                poller.wake();
              } else {
                ASSERT_EQ(::write(pipe[1], "x", 1), 1);
              }
            }
          },
          [&] { stop = true; });
      std::array<epoll_event, 4> events{};
      for (int n = 1; n <= kRounds; ++n) {
        asked = n;
        const int ready = poller.wait(events.data(), static_cast<int>(events.size()), 60);
        ASSERT_EQ(ready, wakes ? 0 : 1) << "round " << n;
        char byte = 0;
        ASSERT_EQ(::read(pipe[0], &byte, 1), wakes ? -1 : 1) << "round " << n;
      }
      other.join();
      const auto start = std::chrono::steady_clock::now();
      EXPECT_EQ(poller.wait(events.data(), static_cast<int>(events.size()), 0.02), 0);
      EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
      ::close(pipe[0]);
      ::close(pipe[1]);
    }
  }
}
