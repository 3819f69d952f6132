#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/Data.hpp"
#include "Security/SecBase.hpp"
#include "Security/SecItem.hpp"

namespace Security {

// A keychain: the items the SecItem functions work on. The process has one for the
// simulated device (device()), in memory unless the host gives it a file.
//
// A file-backed keychain lives in a private folder: the folder is created (or tightened) to
// mode 0700 and the file is kept at 0600. Every change is written atomically (temporary
// file, fsync, rename), so a crash leaves the previous content, never a part of a write; a
// change that cannot be written is not made and gives errSecIO. A file that cannot be read
// back, or a folder that is not this user's, makes the keychain unavailable: every call gives
// errSecNotAvailable and the file is left untouched.
//
// Thread-safe. A call that waits for the authentication sheet holds no lock meanwhile.
class KeychainStore {
 public:
  KeychainStore();  // in memory
  explicit KeychainStore(std::string filePath);
  KeychainStore(const KeychainStore&) = delete;
  KeychainStore& operator=(const KeychainStore&) = delete;

  // The simulated device's keychain.
  static std::shared_ptr<KeychainStore> device();
  // Replaces the device's keychain (for a host that keeps it in a file); null installs a new,
  // empty one in memory.
  static void setDevice(std::shared_ptr<KeychainStore> store);

  bool isAvailable() const { return available_; }
  const std::optional<std::string>& filePath() const { return path_; }

  // SecItemAdd, SecItemCopyMatching, SecItemUpdate and SecItemDelete on this keychain.
  OSStatus add(const SecDictionary& attributes, SecValue* result);
  OSStatus copyMatching(const SecDictionary& query, SecValue* result);
  OSStatus update(const SecDictionary& query, const SecDictionary& attributesToUpdate);
  OSStatus remove(const SecDictionary& query);

 private:
  struct Item {
    std::string account;
    std::string server;
    Foundation::Data data;
    bool userPresence = false;
    bool passcodeRequired = false;
  };

  bool load();
  // Writes `items` to the file (when there is one); false when it could not be written.
  bool persist(const std::vector<Item>& items) const;

  std::optional<std::string> path_;
  bool available_ = true;
  mutable std::mutex mutex_;
  std::vector<Item> items_;
};

}  // namespace Security
