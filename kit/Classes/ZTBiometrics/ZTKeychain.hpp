#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <Foundation/Result.hpp>
#include <Security/SecItem.hpp>

namespace ZentrelSDK {

// One secret text per key in the device keychain, readable only after the device owner has
// proved presence. Every call is synchronous and blocks its caller (a read for as long as the
// authentication sheet is up), so the kit calls it off the main queue.
class ZTKeychain {
 public:
  enum class StorageKeys { token };

  // A failed keychain call: the platform's status code.
  struct KeychainError {
    std::int32_t status = 0;
    // The platform's text for the status, or "Unknown error.".
    std::string localizedDescription() const;
    bool operator==(const KeychainError&) const = default;
  };

  // Raised by the kit itself for a found item that is not a readable text.
  static constexpr std::int32_t unreadableItemStatus = -67671;

  ZTKeychain() = default;

  // Adds the secret as the key's item, replacing an item already stored under the key.
  static Foundation::Result<void, KeychainError> addOrUpdateToStorage(
      StorageKeys withKey, const std::string& secretString);
  static Foundation::Result<std::string, KeychainError> getString(StorageKeys from);
  static Foundation::Result<void, KeychainError> deleteData(StorageKeys from);

 private:
  static Security::SecQuery createAddQuery(StorageKeys key, const std::string& withSecret);
  static bool successStatus(Security::OSStatus status);
  static bool errorStatusDuplicateItem(Security::OSStatus status);
  static Foundation::Result<void, KeychainError> deleteAndAddItemAgain(StorageKeys key,
                                                                       const std::string& secret);
  static Security::SecQuery createGetQuery(StorageKeys forKey);
  static Foundation::Result<std::string, KeychainError> getAndEncodeDataFromItem(
      const Security::SecValue& item);
  static Security::SecQuery createDeleteQuery(StorageKeys key);
};

template <class E>
std::optional<E> fromRawValue(std::string_view text);

// "BIO_STORAGE_TOKEN": the item's account and server attribute.
std::string rawValue(ZTKeychain::StorageKeys key);
template <>
std::optional<ZTKeychain::StorageKeys> fromRawValue(std::string_view text);

}  // namespace ZentrelSDK
