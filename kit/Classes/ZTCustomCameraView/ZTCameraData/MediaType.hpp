#pragma once

namespace ZentrelSDK {

// What a capture produced.
enum class MediaType { video, photo };

}  // namespace ZentrelSDK
