#include "Security/SecAccessControl.hpp"

namespace Security {

bool SecAccessControl::requiresUserPresence() const {
  return (static_cast<std::uint64_t>(flags_) &
          static_cast<std::uint64_t>(SecAccessControlCreateFlags::userPresence)) != 0;
}

bool SecAccessControl::requiresPasscode() const {
  return protection_ == kSecAttrAccessibleWhenPasscodeSetThisDeviceOnly;
}

SecAccessControlRef SecAccessControlCreateWithFlags(CFAllocatorRef /*allocator*/,
                                                    SecConstant protection,
                                                    SecAccessControlCreateFlags flags,
                                                    OSStatus* error) {
  constexpr auto known = static_cast<std::uint64_t>(SecAccessControlCreateFlags::userPresence);
  if (protection != kSecAttrAccessibleWhenPasscodeSetThisDeviceOnly ||
      (static_cast<std::uint64_t>(flags) & ~known) != 0) {
    if (error) *error = errSecParam;
    return nullptr;
  }
  return std::make_shared<const SecAccessControl>(protection, flags);
}

}  // namespace Security
