#include "CoreMedia/CMTime.hpp"

#include <cmath>
#include <limits>

namespace CoreMedia {

CMTime CMTimeMake(CMTimeValue value, CMTimeScale timescale) {
  if (timescale <= 0) return kCMTimeInvalid;
  return CMTime{value, timescale, CMTime::kValid};
}

CMTime CMTimeMakeWithSeconds(double seconds, CMTimeScale preferredTimescale) {
  if (preferredTimescale <= 0 || !std::isfinite(seconds)) return kCMTimeInvalid;
  const double value = std::round(seconds * preferredTimescale);
  // 2^63 is not representable; stay strictly below it.
  if (std::fabs(value) >= 9.2e18) return kCMTimeInvalid;
  return CMTime{static_cast<CMTimeValue>(value), preferredTimescale, CMTime::kValid};
}

double CMTimeGetSeconds(CMTime time) {
  if (!time.isValid()) return std::numeric_limits<double>::quiet_NaN();
  return static_cast<double>(time.value) / time.timescale;
}

}  // namespace CoreMedia
