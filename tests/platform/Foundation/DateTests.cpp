#include <gtest/gtest.h>

#include <chrono>

#include "Foundation/Date.hpp"
#include "Testing/ManualClock.hpp"

using Foundation::Date;

TEST(Date, DoesArithmeticInSecondsSince1970) {
  const auto d = Date::timeIntervalSince1970(1'700'000'000.25);
  EXPECT_EQ(d.timeIntervalSince1970(), 1'700'000'000.25);
  const auto later = d.addingTimeInterval(90.5);
  EXPECT_EQ(later.timeIntervalSince(d), 90.5);
  EXPECT_EQ(d.timeIntervalSince(later), -90.5);
  EXPECT_EQ(d + 10, Date::timeIntervalSince1970(1'700'000'010.25));
  EXPECT_EQ(later - 90.5, d);
  EXPECT_LT(d, later);
  auto moving = d;
  moving += 5;
  moving.addTimeInterval(5);
  EXPECT_EQ(moving.timeIntervalSince(d), 10);
  EXPECT_EQ(Date().timeIntervalSince1970(), 0);
}

TEST(Date, NowIsTheRealWallTimeByDefault) {
  const double system =
      std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
  EXPECT_NEAR(Date::now().timeIntervalSince1970(), system, 5.0);
}

TEST(Date, NowFollowsTheProcessClock) {
  auto& clock = PlatformTesting::ManualClock::install();
  const auto start = Date::now();
  const auto deadline = Date::timeIntervalSinceNow(60);
  EXPECT_NEAR(deadline.timeIntervalSince(start), 60, 1e-6);
  clock.advance(45);
  EXPECT_NEAR(Date::now().timeIntervalSince(start), 45, 1e-6);
  EXPECT_NEAR(deadline.timeIntervalSinceNow(), 15, 1e-6);
  PlatformTesting::ManualClock::uninstall();
}
