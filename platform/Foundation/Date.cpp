#include "Foundation/Date.hpp"

namespace Foundation {

Date Date::now() {
  return Date(Clock::current().wallTime());
}

Date Date::timeIntervalSinceNow(TimeInterval seconds) {
  return now().addingTimeInterval(seconds);
}

TimeInterval Date::timeIntervalSinceNow() const {
  return timeIntervalSince(now());
}

}  // namespace Foundation
