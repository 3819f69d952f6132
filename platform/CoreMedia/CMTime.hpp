#pragma once

#include <cstdint>

namespace CoreMedia {

using CMTimeValue = std::int64_t;
using CMTimeScale = std::int32_t;

// Swift's CMTime: value / timescale seconds. An invalid time (kCMTimeInvalid) has no valid
// flag; its seconds are NaN.
struct CMTime {
  static constexpr std::uint32_t kValid = 1;

  CMTimeValue value = 0;
  CMTimeScale timescale = 0;
  std::uint32_t flags = 0;

  bool isValid() const { return (flags & kValid) != 0 && timescale > 0; }
  bool operator==(const CMTime&) const = default;
};

inline constexpr CMTime kCMTimeInvalid{};
inline constexpr CMTime kCMTimeZero{0, 1, CMTime::kValid};

// Swift `CMTimeMake(value:timescale:)`: invalid for a timescale that is not positive.
CMTime CMTimeMake(CMTimeValue value, CMTimeScale timescale);
// Swift `CMTimeMakeWithSeconds`: rounded to the timescale; invalid for NaN, an infinite or
// out-of-range value, or a timescale that is not positive.
CMTime CMTimeMakeWithSeconds(double seconds, CMTimeScale preferredTimescale);
// Swift `CMTimeGetSeconds`: NaN for an invalid time.
double CMTimeGetSeconds(CMTime time);

}  // namespace CoreMedia
