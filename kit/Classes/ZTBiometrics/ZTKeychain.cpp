#include "ZTBiometrics/ZTKeychain.hpp"

#include <memory>

#include <Foundation/Data.hpp>
#include <LocalAuthentication/LAContext.hpp>
#include <Security/SecAccessControl.hpp>
#include <Security/SecBase.hpp>

namespace ZentrelSDK {

using namespace Security;
using Foundation::Result;

namespace {

constexpr const char* kOperationPrompt = "Access to your account";

}  // namespace

std::string rawValue(ZTKeychain::StorageKeys key) {
  switch (key) {
    case ZTKeychain::StorageKeys::token:
      break;
  }
  return "BIO_STORAGE_TOKEN";
}

template <>
std::optional<ZTKeychain::StorageKeys> fromRawValue(std::string_view text) {
  if (text == "BIO_STORAGE_TOKEN") return ZTKeychain::StorageKeys::token;
  return std::nullopt;
}

std::string ZTKeychain::KeychainError::localizedDescription() const {
  return SecCopyErrorMessageString(status, nullptr).value_or("Unknown error.");
}

Result<void, ZTKeychain::KeychainError> ZTKeychain::addOrUpdateToStorage(
    StorageKeys withKey, const std::string& secretString) {
  const OSStatus status = SecItemAdd(createAddQuery(withKey, secretString), nullptr);
  if (successStatus(status)) return Foundation::success();
  if (errorStatusDuplicateItem(status)) return deleteAndAddItemAgain(withKey, secretString);
  return Foundation::failure(KeychainError{status});
}

Result<std::string, ZTKeychain::KeychainError> ZTKeychain::getString(StorageKeys from) {
  SecValue item;
  const OSStatus status = SecItemCopyMatching(createGetQuery(from), &item);
  if (!successStatus(status)) return Foundation::failure(KeychainError{status});
  return getAndEncodeDataFromItem(item);
}

Result<void, ZTKeychain::KeychainError> ZTKeychain::deleteData(StorageKeys from) {
  const OSStatus status = SecItemDelete(createDeleteQuery(from));
  if (!successStatus(status)) return Foundation::failure(KeychainError{status});
  return Foundation::success();
}

SecQuery ZTKeychain::createAddQuery(StorageKeys key, const std::string& withSecret) {
  auto context = std::make_shared<LocalAuthentication::LAContext>();
  context->setTouchIDAuthenticationAllowableReuseDuration(10.0);
  SecQuery query;
  query[kSecClass] = kSecClassInternetPassword;
  query[kSecAttrAccount] = rawValue(key);
  query[kSecAttrServer] = rawValue(key);
  query[kSecAttrAccessControl] = SecAccessControlCreateWithFlags(
      kCFAllocatorDefault, kSecAttrAccessibleWhenPasscodeSetThisDeviceOnly,
      SecAccessControlCreateFlags::userPresence, nullptr);
  query[kSecUseAuthenticationContext] = context;
  query[kSecValueData] = Foundation::dataFromString(withSecret);
  return query;
}

bool ZTKeychain::successStatus(OSStatus status) {
  return status == errSecSuccess;
}

bool ZTKeychain::errorStatusDuplicateItem(OSStatus status) {
  return status == errSecDuplicateItem;
}

Result<void, ZTKeychain::KeychainError> ZTKeychain::deleteAndAddItemAgain(
    StorageKeys key, const std::string& secret) {
  if (auto deleted = deleteData(key); deleted.isFailure()) return deleted;
  const OSStatus status = SecItemAdd(createAddQuery(key, secret), nullptr);
  if (!successStatus(status)) return Foundation::failure(KeychainError{status});
  return Foundation::success();
}

SecQuery ZTKeychain::createGetQuery(StorageKeys forKey) {
  SecQuery query;
  query[kSecClass] = kSecClassInternetPassword;
  query[kSecAttrServer] = rawValue(forKey);
  query[kSecMatchLimit] = kSecMatchLimitOne;
  query[kSecReturnAttributes] = true;
  query[kSecUseOperationPrompt] = kOperationPrompt;
  query[kSecReturnData] = true;
  return query;
}

Result<std::string, ZTKeychain::KeychainError> ZTKeychain::getAndEncodeDataFromItem(
    const SecValue& item) {
  const auto* attributes = item.get<SecDictionary>();
  const auto* data = attributes ? attributes->get<Foundation::Data>(kSecValueData) : nullptr;
  auto text = data ? Foundation::stringFromUTF8(*data) : std::nullopt;
  if (!text) return Foundation::failure(KeychainError{unreadableItemStatus});
  return Foundation::success(std::move(*text));
}

SecQuery ZTKeychain::createDeleteQuery(StorageKeys key) {
  SecQuery query;
  query[kSecClass] = kSecClassInternetPassword;
  query[kSecAttrServer] = rawValue(key);
  return query;
}

}  // namespace ZentrelSDK
