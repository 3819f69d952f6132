#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace Security {

using OSStatus = std::int32_t;

inline constexpr OSStatus errSecSuccess = 0;
inline constexpr OSStatus errSecIO = -36;
inline constexpr OSStatus errSecParam = -50;
inline constexpr OSStatus errSecUserCanceled = -128;
inline constexpr OSStatus errSecInternalComponent = -2070;
inline constexpr OSStatus errSecNotAvailable = -25291;
inline constexpr OSStatus errSecAuthFailed = -25293;
inline constexpr OSStatus errSecDuplicateItem = -25299;
inline constexpr OSStatus errSecItemNotFound = -25300;

// The platform's English text for a status, or nullopt for a status it does not know.
// `reserved` must be null, as on the platform.
std::optional<std::string> SecCopyErrorMessageString(OSStatus status, void* reserved = nullptr);

}  // namespace Security
