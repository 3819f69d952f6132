#include <gtest/gtest.h>

#include <RunLoopCore/Poller.hpp>

#include <fcntl.h>
#include <sched.h>
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
// the spin ran out wear it down. Wake-ups heard during the spin cost nothing and keep it: an
// answer 150 µs into the next wait is still caught spinning. Measured in thread CPU time,
// steadier than wall time.
TEST(Poller, TheSpinStopsAtTheDeadlineAfterATimeoutAndWhenOnlyLateWakeUpsEndTheWaits) {
  struct Row {
    const char* what;
    double seconds;
    // A wake-up this far into each unmeasured wait ends it; 0: one made just before, which
    // the spin's first look hears; < 0: none.
    int wakeAfterMicros;
    int unmeasured, measured;
    bool spinsOn;  // the measured waits are answered 150 µs in, and must be caught spinning
  };
  cpu_set_t cpus;
  CPU_ZERO(&cpus);
  ASSERT_EQ(::sched_getaffinity(0, sizeof cpus, &cpus), 0);
  for (const Row& row :
       {Row{"a short wait", 20e-6, -1, 0, 1, false}, Row{"after a timeout", 1e-3, -1, 1, 1, false},
        Row{"after late wake-ups", 60, 1000, 8, 8, false},
        Row{"after wake-ups during the spin", 60, 0, 8, 1, true}}) {
    SCOPED_TRACE(row.what);
    // With fewer than three CPUs a poller never spins, so there is no spin to keep.
    if (row.spinsOn && CPU_COUNT(&cpus) < 3) continue;
    RunLoopCore::Poller poller(true);
    const int timer = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    poller.watch(timer, EPOLLIN);
    const auto answerSoon = [&] {
      const itimerspec soon{{}, {0, 150'000}};
      ASSERT_EQ(::timerfd_settime(timer, 0, &soon, nullptr), 0);
    };
    const auto takeAnswer = [&] {
      std::uint64_t fired = 0;
      ASSERT_EQ(::read(timer, &fired, sizeof fired), 8);
    };
    std::atomic<int> asked{0};
    std::atomic<bool> stop{false};
    std::optional<zttest::JoinedThread> waker;
    if (row.wakeAfterMicros > 0) {
      waker.emplace(
          [&] {
            for (int n = 1; !stop; ++n) {
              while (asked.load() < n && !stop) {
              }
              std::this_thread::sleep_for(std::chrono::microseconds(row.wakeAfterMicros));
              poller.wake();
            }
          },
          [&] { stop = true; });
    }
    std::array<epoll_event, 4> events{};
    // Of CPU per measured wait, over rounds: load only adds to the least and takes from the most.
    double leastMicros = 1e9, mostMicros = 0;
    for (int round = 0; round < 8; ++round) {
      for (int n = 0; n < 4; ++n) {
        answerSoon();
        ASSERT_EQ(poller.wait(events.data(), static_cast<int>(events.size()), 1), 1);
        takeAnswer();
      }
      double cpuMicros = 0;
      for (int n = 0; n < row.unmeasured + row.measured; ++n) {
        const bool measured = n >= row.unmeasured;
        const bool answered = measured && row.spinsOn;
        const double cpuBefore = threadCpuMicros();
        const auto start = std::chrono::steady_clock::now();
        if (answered) {
          answerSoon();
        } else if (row.wakeAfterMicros == 0) {
          poller.wake();
        } else {
          ++asked;
        }
        ASSERT_EQ(poller.wait(events.data(), static_cast<int>(events.size()), row.seconds),
                  answered ? 1 : 0);
        if (answered) {
          takeAnswer();
        } else {
          EXPECT_GE(std::chrono::steady_clock::now() - start,
                    std::chrono::duration<double>(
                        row.wakeAfterMicros >= 0 ? row.wakeAfterMicros * 1e-6 : row.seconds));
        }
        if (measured) cpuMicros += threadCpuMicros() - cpuBefore;
      }
      leastMicros = std::min(leastMicros, cpuMicros / row.measured);
      mostMicros = std::max(mostMicros, cpuMicros / row.measured);
    }
    waker.reset();
    // A sleeping wait costs some tens of µs of CPU on a virtual machine, a spin ~250 µs more.
    if (row.spinsOn) {
      EXPECT_GT(mostMicros, 100);
    } else {
      EXPECT_LT(leastMicros, 100);
    }
    ::close(timer);
  }
}
