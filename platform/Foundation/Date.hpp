#pragma once

#include <compare>

#include "Foundation/Clock.hpp"

namespace Foundation {

// Swift's Date: a point in time, seconds since 1970-01-01 00:00 UTC.
class Date {
 public:
  // The 1970 reference date; Swift's `Date()` (now) is Date::now().
  constexpr Date() = default;
  // Swift `Date()`: the wall time of the process clock, so a test's manual clock moves it.
  static Date now();
  // Swift `Date(timeIntervalSince1970:)` and `Date(timeIntervalSinceNow:)`.
  static constexpr Date timeIntervalSince1970(TimeInterval seconds) { return Date(seconds); }
  static Date timeIntervalSinceNow(TimeInterval seconds);

  constexpr TimeInterval timeIntervalSince1970() const { return seconds_; }
  constexpr TimeInterval timeIntervalSince(const Date& other) const {
    return seconds_ - other.seconds_;
  }
  TimeInterval timeIntervalSinceNow() const;

  constexpr Date addingTimeInterval(TimeInterval seconds) const { return Date(seconds_ + seconds); }
  constexpr void addTimeInterval(TimeInterval seconds) { seconds_ += seconds; }

  friend constexpr Date operator+(Date d, TimeInterval t) { return d.addingTimeInterval(t); }
  friend constexpr Date operator-(Date d, TimeInterval t) { return d.addingTimeInterval(-t); }
  constexpr Date& operator+=(TimeInterval t) { return seconds_ += t, *this; }
  constexpr Date& operator-=(TimeInterval t) { return seconds_ -= t, *this; }
  constexpr auto operator<=>(const Date&) const = default;

 private:
  constexpr explicit Date(TimeInterval seconds) : seconds_(seconds) {}
  TimeInterval seconds_ = 0;
};

}  // namespace Foundation
