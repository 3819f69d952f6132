#include <gtest/gtest.h>

#include <RunLoopCore/Poller.hpp>

#include <fcntl.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <ctime>
#include <optional>
#include <thread>

#include "support/LateCallbacks.hpp"

namespace {

double threadCpuMicros() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

}  // namespace

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

// After answers ~150 µs into each wait, which teach the longest spin, the measured waits must not
// spin: a short one ends at its deadline, a timeout ends the spin, and wake-ups that come after
// the spin ran out wear it down. Measured in thread CPU time, steadier than wall time.
TEST(Poller, TheSpinStopsAtTheDeadlineAfterATimeoutAndWhenOnlyLateWakeUpsEndTheWaits) {
  struct Row {
    const char* what;
    double seconds;
    bool wokenLate;  // a wake-up 1 ms into each wait ends it
    int unmeasured, measured;
  };
  for (const Row& row :
       {Row{"a short wait", 20e-6, false, 0, 1}, Row{"after a timeout", 1e-3, false, 1, 1},
        Row{"after late wake-ups", 60, true, 8, 8}}) {
    SCOPED_TRACE(row.what);
    RunLoopCore::Poller poller(true);
    const int timer = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    poller.watch(timer, EPOLLIN);
    std::atomic<int> asked{0};
    std::atomic<bool> stop{false};
    std::optional<zttest::JoinedThread> waker;
    if (row.wokenLate) {
      waker.emplace(
          [&] {
            for (int n = 1; !stop; ++n) {
              while (asked.load() < n && !stop) {
              }
              std::this_thread::sleep_for(std::chrono::milliseconds(1));
              poller.wake();
            }
          },
          [&] { stop = true; });
    }
    std::array<epoll_event, 4> events{};
    double leastMicros = 1e9;  // of CPU per measured wait, over rounds: load only adds to it
    for (int round = 0; round < 8; ++round) {
      for (int n = 0; n < 4; ++n) {
        const itimerspec soon{{}, {0, 150'000}};
        ASSERT_EQ(::timerfd_settime(timer, 0, &soon, nullptr), 0);
        ASSERT_EQ(poller.wait(events.data(), static_cast<int>(events.size()), 1), 1);
        std::uint64_t fired = 0;
        ASSERT_EQ(::read(timer, &fired, sizeof fired), 8);
      }
      double cpuMicros = 0;
      for (int n = 0; n < row.unmeasured + row.measured; ++n) {
        const double cpuBefore = threadCpuMicros();
        const auto start = std::chrono::steady_clock::now();
        ++asked;
        ASSERT_EQ(poller.wait(events.data(), static_cast<int>(events.size()), row.seconds), 0);
        EXPECT_GE(std::chrono::steady_clock::now() - start,
                  std::chrono::duration<double>(row.wokenLate ? 1e-3 : row.seconds));
        if (n >= row.unmeasured) cpuMicros += threadCpuMicros() - cpuBefore;
      }
      leastMicros = std::min(leastMicros, cpuMicros / row.measured);
    }
    waker.reset();
    // A sleeping wait costs some tens of µs of CPU on a virtual machine, a spin ~250 µs more.
    EXPECT_LT(leastMicros, 100);
    ::close(timer);
  }
}
