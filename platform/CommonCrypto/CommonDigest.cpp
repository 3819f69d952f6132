#include "CommonCrypto/CommonDigest.hpp"

#include <openssl/evp.h>

namespace CommonCrypto {

unsigned char* CC_SHA256(const void* data, CC_LONG len, unsigned char* md) {
  if (!md || (!data && len > 0)) return nullptr;
  static const unsigned char empty = 0;
  unsigned int size = 0;
  if (EVP_Digest(data ? data : &empty, len, md, &size, EVP_sha256(), nullptr) != 1 ||
      size != CC_SHA256_DIGEST_LENGTH)
    return nullptr;
  return md;
}

}  // namespace CommonCrypto
