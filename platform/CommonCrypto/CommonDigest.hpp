#pragma once

#include <cstdint>

namespace CommonCrypto {

using CC_LONG = std::uint32_t;
inline constexpr int CC_SHA256_DIGEST_LENGTH = 32;

// Writes the SHA-256 digest of `len` bytes at `data` into `md` (CC_SHA256_DIGEST_LENGTH
// bytes) and returns `md`. Null `md`, or null `data` with a non-zero length, writes nothing
// and returns null.
unsigned char* CC_SHA256(const void* data, CC_LONG len, unsigned char* md);

}  // namespace CommonCrypto
