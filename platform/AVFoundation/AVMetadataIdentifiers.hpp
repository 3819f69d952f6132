#pragma once

namespace AVFoundation {

// Swift's AVMetadataIdentifier values the kit names.
inline constexpr const char* AVMetadataIdentifierQuickTimeMetadataLocationISO6709 =
    "mdta/com.apple.quicktime.location.ISO6709";

}  // namespace AVFoundation
