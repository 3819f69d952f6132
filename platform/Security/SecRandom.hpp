#pragma once

#include <cstddef>

#include "Security/SecBase.hpp"

namespace Security {

struct SecRandom;
using SecRandomRef = const SecRandom*;
inline constexpr SecRandomRef kSecRandomDefault = nullptr;

// Fills `bytes` with `count` cryptographically secure random bytes. errSecParam for null
// bytes with a non-zero count; errSecInternalComponent when the generator fails.
OSStatus SecRandomCopyBytes(SecRandomRef rnd, std::size_t count, void* bytes);

}  // namespace Security
