#pragma once

#include <compare>
#include <string_view>

namespace Security {

// One of the platform's keychain constants (a key of a query, or a constant value such as an
// item class), told apart by name.
struct SecConstant {
  std::string_view name;
  constexpr auto operator<=>(const SecConstant&) const = default;
};

// Item classes.
inline constexpr SecConstant kSecClass{"class"};
inline constexpr SecConstant kSecClassInternetPassword{"internetPassword"};

// Attributes.
inline constexpr SecConstant kSecAttrAccount{"account"};
inline constexpr SecConstant kSecAttrServer{"server"};
inline constexpr SecConstant kSecAttrAccessControl{"accessControl"};
inline constexpr SecConstant kSecAttrAccessibleWhenPasscodeSetThisDeviceOnly{
    "whenPasscodeSetThisDeviceOnly"};

// Values, search and return keys.
inline constexpr SecConstant kSecValueData{"valueData"};
inline constexpr SecConstant kSecMatchLimit{"matchLimit"};
inline constexpr SecConstant kSecMatchLimitOne{"matchLimitOne"};
inline constexpr SecConstant kSecReturnAttributes{"returnAttributes"};
inline constexpr SecConstant kSecReturnData{"returnData"};

// How the item is reached.
inline constexpr SecConstant kSecUseAuthenticationContext{"authenticationContext"};
inline constexpr SecConstant kSecUseOperationPrompt{"operationPrompt"};

}  // namespace Security
