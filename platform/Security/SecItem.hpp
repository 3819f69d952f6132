#pragma once

#include <concepts>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "Foundation/Data.hpp"
#include "LocalAuthentication/LAContext.hpp"
#include "Security/SecAccessControl.hpp"
#include "Security/SecBase.hpp"
#include "Security/SecConstant.hpp"

namespace Security {

class SecDictionary;

// A value in a keychain dictionary (Swift `Any` in `[String: Any]`): nil, a constant, text,
// bytes, a Boolean, an access control, an authentication context or a nested dictionary.
class SecValue {
 public:
  SecValue() = default;
  SecValue(SecConstant constant) : value_(constant) {}                   // NOLINT
  SecValue(std::string text) : value_(std::move(text)) {}                // NOLINT
  SecValue(std::string_view text) : value_(std::string(text)) {}         // NOLINT
  SecValue(const char* text) : value_(std::string(text ? text : "")) {}  // NOLINT
  SecValue(Foundation::Data data) : value_(std::move(data)) {}           // NOLINT
  // Only a real bool: a pointer or a number must not turn into a flag.
  template <std::same_as<bool> B>
  SecValue(B flag) : value_(flag) {}                                   // NOLINT
  SecValue(SecAccessControlRef access) : value_(std::move(access)) {}  // NOLINT
  SecValue(std::shared_ptr<LocalAuthentication::LAContext> context)    // NOLINT
      : value_(std::move(context)) {}
  SecValue(SecDictionary dictionary);  // NOLINT

  bool isNil() const { return std::holds_alternative<std::monostate>(value_); }

  // Swift `value as? T`: null when the value holds something else. T is one of SecConstant,
  // std::string, Foundation::Data, bool, SecAccessControlRef,
  // std::shared_ptr<LocalAuthentication::LAContext> or SecDictionary.
  template <class T>
  const T* get() const {
    if constexpr (std::is_same_v<T, SecDictionary>) {
      auto* p = std::get_if<std::shared_ptr<const SecDictionary>>(&value_);
      return p ? p->get() : nullptr;
    } else {
      return std::get_if<T>(&value_);
    }
  }

 private:
  std::variant<std::monostate, SecConstant, std::string, Foundation::Data, bool,
               SecAccessControlRef, std::shared_ptr<LocalAuthentication::LAContext>,
               std::shared_ptr<const SecDictionary>>
      value_;
};

// A keychain query or attribute dictionary, written as in Swift:
//   SecQuery query;
//   query[kSecClass] = kSecClassInternetPassword;
//   query[kSecAttrServer] = "example.com";
class SecDictionary : public std::map<SecConstant, SecValue> {
 public:
  using std::map<SecConstant, SecValue>::map;

  // The value under `key` as a T, or null when absent or of another kind.
  template <class T>
  const T* get(SecConstant key) const {
    auto it = find(key);
    return it == end() ? nullptr : it->second.template get<T>();
  }
};

using SecQuery = SecDictionary;

inline SecValue::SecValue(SecDictionary dictionary)
    : value_(std::make_shared<const SecDictionary>(std::move(dictionary))) {}

// The keychain of the simulated device (Security::KeychainStore::device()). Each call blocks
// its caller; a read of an item protected by user presence waits for the authentication
// sheet. Malformed dictionaries give errSecParam.

// Adds an item of class kSecClassInternetPassword. An item with the same account and server
// gives errSecDuplicateItem; an item that needs a passcode on a device without one gives
// errSecAuthFailed. `result` (may be null) receives what the return keys ask for.
OSStatus SecItemAdd(const SecDictionary& attributes, SecValue* result = nullptr);
// Finds the first matching item. With kSecReturnAttributes the result is a dictionary of its
// attributes (and kSecValueData with kSecReturnData); with kSecReturnData alone, its bytes.
OSStatus SecItemCopyMatching(const SecDictionary& query, SecValue* result);
// Changes kSecAttrAccount, kSecAttrServer, kSecValueData or kSecAttrAccessControl of every
// matching item.
OSStatus SecItemUpdate(const SecDictionary& query, const SecDictionary& attributesToUpdate);
// Deletes every matching item; errSecItemNotFound when there is none.
OSStatus SecItemDelete(const SecDictionary& query);

}  // namespace Security
