#include "Security/KeychainStore.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <future>

#include <nlohmann/json.hpp>

#include "LocalAuthentication/SimulatedDevice.hpp"

namespace Security {

namespace {

using Foundation::Data;
using LocalAuthentication::LAContext;

// What a query asks for, read from its dictionary.
struct Search {
  std::optional<std::string> account;
  std::optional<std::string> server;
  bool returnData = false;
  bool returnAttributes = false;
  std::string prompt;
  std::shared_ptr<LAContext> context;
};

// Reads an optional entry of type T; false when the entry holds something else.
template <class T>
bool readOptional(const SecDictionary& d, SecConstant key, std::optional<T>& out) {
  auto it = d.find(key);
  if (it == d.end()) return true;
  auto* value = it->second.get<T>();
  if (!value) return false;
  out = *value;
  return true;
}

// Text entries must be Unicode, as every CFString is.
bool readText(const SecDictionary& d, SecConstant key, std::optional<std::string>& out) {
  return readOptional(d, key, out) && (!out || Foundation::isValidUTF8(*out));
}

OSStatus checkClass(const SecDictionary& d) {
  auto* itemClass = d.get<SecConstant>(kSecClass);
  return itemClass && *itemClass == kSecClassInternetPassword ? errSecSuccess : errSecParam;
}

OSStatus readSearch(const SecDictionary& d, Search& s) {
  if (auto status = checkClass(d)) return status;
  std::optional<bool> returnData, returnAttributes;
  std::optional<std::string> prompt;
  std::optional<std::shared_ptr<LAContext>> context;
  if (!readText(d, kSecAttrAccount, s.account) || !readText(d, kSecAttrServer, s.server) ||
      !readOptional(d, kSecReturnData, returnData) ||
      !readOptional(d, kSecReturnAttributes, returnAttributes) ||
      !readText(d, kSecUseOperationPrompt, prompt) ||
      !readOptional(d, kSecUseAuthenticationContext, context) || (context && !*context))
    return errSecParam;
  if (auto it = d.find(kSecMatchLimit); it != d.end()) {
    auto* limit = it->second.get<SecConstant>();
    if (!limit || *limit != kSecMatchLimitOne) return errSecParam;
  }
  s.returnData = returnData.value_or(false);
  s.returnAttributes = returnAttributes.value_or(false);
  s.prompt = prompt.value_or("");
  if (context) s.context = *context;
  return errSecSuccess;
}

bool passcodeSet() {
  return LocalAuthentication::SimulatedDevice::shared().settings().passcodeSet;
}

// Asks the device owner through LocalAuthentication and waits for the answer.
OSStatus authenticate(const std::string& prompt, std::shared_ptr<LAContext> context) {
  if (!context) context = std::make_shared<LAContext>();
  auto answer = std::make_shared<std::promise<std::optional<LocalAuthentication::LAError>>>();
  auto future = answer->get_future();
  context->evaluatePolicy(LocalAuthentication::LAPolicy::deviceOwnerAuthentication, prompt,
                          [answer](bool, std::optional<LocalAuthentication::LAError> error) {
                            answer->set_value(error);
                          });
  const auto error = future.get();
  if (!error) return errSecSuccess;
  using Code = LocalAuthentication::LAError::Code;
  return error->code == Code::userCancel || error->code == Code::systemCancel ? errSecUserCanceled
                                                                              : errSecAuthFailed;
}

std::shared_ptr<KeychainStore>& deviceSlot() {
  // Never destroyed: worker threads may still reach it while the process exits.
  static auto* slot = new std::shared_ptr<KeychainStore>(std::make_shared<KeychainStore>());
  return *slot;
}

std::mutex& deviceMutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}

}  // namespace

KeychainStore::KeychainStore() = default;

KeychainStore::KeychainStore(std::string filePath) : path_(std::move(filePath)) {
  available_ = load();
}

std::shared_ptr<KeychainStore> KeychainStore::device() {
  std::lock_guard lock(deviceMutex());
  return deviceSlot();
}

void KeychainStore::setDevice(std::shared_ptr<KeychainStore> store) {
  if (!store) store = std::make_shared<KeychainStore>();
  std::lock_guard lock(deviceMutex());
  deviceSlot() = std::move(store);
}

namespace {

bool sameIdentity(const auto& a, const auto& b) {
  return a.account == b.account && a.server == b.server;
}

bool matches(const auto& item, const Search& s) {
  return (!s.account || item.account == *s.account) && (!s.server || item.server == *s.server);
}

SecValue resultFor(const auto& item, bool attributes, bool data) {
  if (attributes) {
    SecDictionary d;
    d[kSecClass] = kSecClassInternetPassword;
    d[kSecAttrAccount] = item.account;
    d[kSecAttrServer] = item.server;
    if (data) d[kSecValueData] = item.data;
    return d;
  }
  if (data) return item.data;
  return {};
}

bool hasDuplicates(const auto& items) {
  for (std::size_t i = 0; i < items.size(); ++i)
    for (std::size_t j = i + 1; j < items.size(); ++j)
      if (sameIdentity(items[i], items[j])) return true;
  return false;
}

}  // namespace

OSStatus KeychainStore::add(const SecDictionary& attributes, SecValue* result) {
  if (!available_) return errSecNotAvailable;
  if (auto status = checkClass(attributes)) return status;
  std::optional<std::string> account, server;
  std::optional<Data> data;
  std::optional<SecAccessControlRef> access;
  std::optional<std::shared_ptr<LAContext>> context;
  std::optional<bool> returnData, returnAttributes;
  if (!readText(attributes, kSecAttrAccount, account) ||
      !readText(attributes, kSecAttrServer, server) ||
      !readOptional(attributes, kSecValueData, data) ||
      !readOptional(attributes, kSecAttrAccessControl, access) || (access && !*access) ||
      !readOptional(attributes, kSecUseAuthenticationContext, context) || (context && !*context) ||
      !readOptional(attributes, kSecReturnData, returnData) ||
      !readOptional(attributes, kSecReturnAttributes, returnAttributes))
    return errSecParam;

  Item item;
  item.account = account.value_or("");
  item.server = server.value_or("");
  item.data = data.value_or(Data{});
  if (access) {
    item.userPresence = (*access)->requiresUserPresence();
    item.passcodeRequired = (*access)->requiresPasscode();
  }
  // Such an item may only exist while the device has a passcode.
  if (item.passcodeRequired && !passcodeSet()) return errSecAuthFailed;

  std::lock_guard lock(mutex_);
  if (std::any_of(items_.begin(), items_.end(),
                  [&](const Item& existing) { return sameIdentity(existing, item); }))
    return errSecDuplicateItem;
  auto next = items_;
  next.push_back(item);
  if (!persist(next)) return errSecIO;
  items_ = std::move(next);
  if (result)
    *result = resultFor(item, returnAttributes.value_or(false), returnData.value_or(false));
  return errSecSuccess;
}

OSStatus KeychainStore::copyMatching(const SecDictionary& query, SecValue* result) {
  if (!available_) return errSecNotAvailable;
  Search search;
  if (auto status = readSearch(query, search)) return status;
  bool authenticated = false;
  for (;;) {
    std::unique_lock lock(mutex_);
    auto found = std::find_if(items_.begin(), items_.end(),
                              [&](const Item& item) { return matches(item, search); });
    if (found == items_.end()) return errSecItemNotFound;
    // Attributes are readable without the owner; the secret is not.
    if (search.returnData && found->userPresence && !authenticated) {
      lock.unlock();
      if (auto status = authenticate(search.prompt, search.context)) return status;
      authenticated = true;
      continue;  // the item may have changed while the sheet was up
    }
    if (result) *result = resultFor(*found, search.returnAttributes, search.returnData);
    return errSecSuccess;
  }
}

OSStatus KeychainStore::update(const SecDictionary& query,
                               const SecDictionary& attributesToUpdate) {
  if (!available_) return errSecNotAvailable;
  Search search;
  if (auto status = readSearch(query, search)) return status;
  for (const auto& [key, value] : attributesToUpdate) {
    if (key != kSecAttrAccount && key != kSecAttrServer && key != kSecValueData &&
        key != kSecAttrAccessControl)
      return errSecParam;
  }
  std::optional<std::string> account, server;
  std::optional<Data> data;
  std::optional<SecAccessControlRef> access;
  if (!readText(attributesToUpdate, kSecAttrAccount, account) ||
      !readText(attributesToUpdate, kSecAttrServer, server) ||
      !readOptional(attributesToUpdate, kSecValueData, data) ||
      !readOptional(attributesToUpdate, kSecAttrAccessControl, access) || (access && !*access))
    return errSecParam;
  if (access && (*access)->requiresPasscode() && !passcodeSet()) return errSecAuthFailed;

  bool authenticated = false;
  for (;;) {
    std::unique_lock lock(mutex_);
    auto next = items_;
    bool any = false;
    bool protectedItem = false;
    for (auto& item : next) {
      if (!matches(item, search)) continue;
      any = true;
      protectedItem = protectedItem || item.userPresence;
      if (account) item.account = *account;
      if (server) item.server = *server;
      if (data) item.data = *data;
      if (access) {
        item.userPresence = (*access)->requiresUserPresence();
        item.passcodeRequired = (*access)->requiresPasscode();
      }
    }
    if (!any) return errSecItemNotFound;
    if (protectedItem && !authenticated) {
      lock.unlock();
      if (auto status = authenticate(search.prompt, search.context)) return status;
      authenticated = true;
      continue;
    }
    if (hasDuplicates(next)) return errSecDuplicateItem;
    if (!persist(next)) return errSecIO;
    items_ = std::move(next);
    return errSecSuccess;
  }
}

OSStatus KeychainStore::remove(const SecDictionary& query) {
  if (!available_) return errSecNotAvailable;
  Search search;
  if (auto status = readSearch(query, search)) return status;
  std::lock_guard lock(mutex_);
  std::vector<Item> next;
  std::copy_if(items_.begin(), items_.end(), std::back_inserter(next),
               [&](const Item& item) { return !matches(item, search); });
  if (next.size() == items_.size()) return errSecItemNotFound;
  if (!persist(next)) return errSecIO;
  items_ = std::move(next);
  return errSecSuccess;
}

// File format: {"items": [{"account", "server", "data" (Base64), "userPresence",
// "passcodeRequired"}]}.

bool KeychainStore::load() {
  namespace fs = std::filesystem;
  const fs::path file(*path_);
  if (file.filename().empty()) return false;
  fs::path folder = file.parent_path();
  if (folder.empty()) folder = ".";

  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) {
    if (errno != ENOENT) return false;
    std::error_code ec;
    if (folder.has_parent_path()) fs::create_directories(folder.parent_path(), ec);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (::stat(folder.c_str(), &st) != 0) return false;
  }
  if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return false;
  if ((st.st_mode & 07777) != 0700 && ::chmod(folder.c_str(), 0700) != 0) return false;

  const int fd = ::open(path_->c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  std::string text;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ((st.st_mode & 07777) == 0600 || ::fchmod(fd, 0600) == 0);
  std::array<char, 16 * 1024> chunk{};
  while (ok) {
    const ssize_t n = ::read(fd, chunk.data(), chunk.size());
    if (n == 0) break;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0)
      ok = false;
    else
      text.append(chunk.data(), static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (!ok) return false;
  // A file created for a first write that never completed.
  if (text.empty()) return true;

  const auto json = nlohmann::json::parse(text, nullptr, false);
  if (json.is_discarded() || !json.is_object() || !json.contains("items") ||
      !json["items"].is_array())
    return false;
  std::vector<Item> items;
  for (const auto& entry : json["items"]) {
    if (!entry.is_object()) return false;
    const auto isText = [&](const char* key) {
      return entry.contains(key) && entry[key].is_string();
    };
    const auto isFlag = [&](const char* key) {
      return entry.contains(key) && entry[key].is_boolean();
    };
    if (!isText("account") || !isText("server") || !isText("data") || !isFlag("userPresence") ||
        !isFlag("passcodeRequired"))
      return false;
    auto data = Foundation::base64Decoded(entry["data"].get_ref<const std::string&>());
    if (!data) return false;
    Item item;
    item.account = entry["account"].get<std::string>();
    item.server = entry["server"].get<std::string>();
    item.data = std::move(*data);
    item.userPresence = entry["userPresence"].get<bool>();
    item.passcodeRequired = entry["passcodeRequired"].get<bool>();
    items.push_back(std::move(item));
  }
  if (hasDuplicates(items)) return false;
  items_ = std::move(items);
  return true;
}

bool KeychainStore::persist(const std::vector<Item>& items) const {
  if (!path_) return true;
  nlohmann::json list = nlohmann::json::array();
  for (const auto& item : items) {
    list.push_back({{"account", item.account},
                    {"server", item.server},
                    {"data", Foundation::base64EncodedString(item.data)},
                    {"userPresence", item.userPresence},
                    {"passcodeRequired", item.passcodeRequired}});
  }
  const std::string text = nlohmann::json{{"items", std::move(list)}}.dump();

  // The atomic write gives its temporary file the target's mode, so the target exists at
  // 0600 first and the secret is never readable by others, even for a moment.
  const int fd = ::open(path_->c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool modeOK = ::fchmod(fd, 0600) == 0;
  ::close(fd);
  if (!modeOK) return false;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  return Foundation::writeData(Foundation::Bytes(bytes, text.size()), *path_).isSuccess();
}

}  // namespace Security
