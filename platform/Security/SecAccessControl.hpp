#pragma once

#include <cstdint>
#include <memory>

#include "Security/SecBase.hpp"
#include "Security/SecConstant.hpp"

namespace Security {

using CFAllocatorRef = const void*;
inline constexpr CFAllocatorRef kCFAllocatorDefault = nullptr;

enum class SecAccessControlCreateFlags : std::uint64_t {
  none = 0,
  userPresence = 1u << 0,  // biometrics or the device passcode
};

// Who may use an item and when: its protection class and its constraints.
class SecAccessControl {
 public:
  SecAccessControl(SecConstant protection, SecAccessControlCreateFlags flags)
      : protection_(protection), flags_(flags) {}

  SecConstant protection() const { return protection_; }
  SecAccessControlCreateFlags flags() const { return flags_; }
  bool requiresUserPresence() const;
  // The item may only exist while the device has a passcode.
  bool requiresPasscode() const;

 private:
  SecConstant protection_;
  SecAccessControlCreateFlags flags_;
};

using SecAccessControlRef = std::shared_ptr<const SecAccessControl>;

// Null, with errSecParam in `*error` when given, for a protection that is not an
// accessibility constant or for unknown flags.
SecAccessControlRef SecAccessControlCreateWithFlags(CFAllocatorRef allocator,
                                                    SecConstant protection,
                                                    SecAccessControlCreateFlags flags,
                                                    OSStatus* error = nullptr);

}  // namespace Security
