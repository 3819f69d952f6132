#include "Foundation/UUID.hpp"

#include <openssl/rand.h>

#include <cstdio>
#include <cstdlib>

#include "Foundation/Hex.hpp"

namespace Foundation {

UUID::UUID() : bytes_{} {
  if (RAND_bytes(bytes_.data(), static_cast<int>(bytes_.size())) != 1) {
    // Without a random source no identifier can be trusted to be unique.
    std::fprintf(stderr, "Foundation::UUID: the random source failed\n");
    std::abort();
  }
  bytes_[6] = static_cast<std::uint8_t>((bytes_[6] & 0x0F) | 0x40);  // version 4
  bytes_[8] = static_cast<std::uint8_t>((bytes_[8] & 0x3F) | 0x80);  // RFC 4122 variant
}

std::optional<UUID> UUID::uuidString(std::string_view text) {
  if (text.size() != 36) return std::nullopt;
  Bytes bytes{};
  std::size_t out = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (text[i] != '-') return std::nullopt;
      ++i;
      continue;
    }
    const int hi = hexValue(text[i]);
    const int lo = hexValue(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    bytes[out++] = static_cast<std::uint8_t>(hi << 4 | lo);
    i += 2;
  }
  return UUID(bytes);
}

std::string UUID::uuidString() const {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string s;
  s.reserve(36);
  for (std::size_t i = 0; i < bytes_.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) s += '-';
    s += kHex[bytes_[i] >> 4];
    s += kHex[bytes_[i] & 0x0F];
  }
  return s;
}

}  // namespace Foundation
