#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace Foundation {

// Swift's UUID, a value.
class UUID {
 public:
  using Bytes = std::array<std::uint8_t, 16>;

  // Swift `UUID()`: a random (version 4, RFC 4122 variant) UUID from a cryptographic source.
  UUID();
  // Swift `UUID(uuid:)`.
  explicit UUID(const Bytes& bytes) : bytes_(bytes) {}
  // Swift `UUID(uuidString:)`: 8-4-4-4-12 hex digits, either case; nullopt otherwise.
  static std::optional<UUID> uuidString(std::string_view text);

  // Upper-case canonical form, e.g. "E621E1F8-C36C-495A-93FC-0C247A3E6E5F".
  std::string uuidString() const;
  const Bytes& uuid() const { return bytes_; }

  auto operator<=>(const UUID&) const = default;

 private:
  Bytes bytes_;
};

}  // namespace Foundation

template <>
struct std::hash<Foundation::UUID> {
  std::size_t operator()(const Foundation::UUID& u) const noexcept {
    std::size_t h = 0;
    for (const auto b : u.uuid()) h = h * 131 + b;
    return h;
  }
};
