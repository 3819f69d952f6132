#include "Security/SecItem.hpp"

#include "Security/KeychainStore.hpp"

namespace Security {

OSStatus SecItemAdd(const SecDictionary& attributes, SecValue* result) {
  return KeychainStore::device()->add(attributes, result);
}

OSStatus SecItemCopyMatching(const SecDictionary& query, SecValue* result) {
  return KeychainStore::device()->copyMatching(query, result);
}

OSStatus SecItemUpdate(const SecDictionary& query, const SecDictionary& attributesToUpdate) {
  return KeychainStore::device()->update(query, attributesToUpdate);
}

OSStatus SecItemDelete(const SecDictionary& query) {
  return KeychainStore::device()->remove(query);
}

}  // namespace Security
