#include "Security/SecRandom.hpp"

#include <openssl/rand.h>

#include <algorithm>
#include <climits>

namespace Security {

OSStatus SecRandomCopyBytes(SecRandomRef /*rnd*/, std::size_t count, void* bytes) {
  if (count == 0) return errSecSuccess;
  if (!bytes) return errSecParam;
  auto* out = static_cast<unsigned char*>(bytes);
  // RAND_bytes takes an int count.
  while (count > 0) {
    const std::size_t chunk = std::min<std::size_t>(count, INT_MAX);
    if (RAND_bytes(out, static_cast<int>(chunk)) != 1) return errSecInternalComponent;
    out += chunk;
    count -= chunk;
  }
  return errSecSuccess;
}

}  // namespace Security
