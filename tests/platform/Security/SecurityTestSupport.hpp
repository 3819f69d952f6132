#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

#include <Foundation/Data.hpp>
#include <Security/Security.hpp>
#include <Testing/DeviceSecurity.hpp>

#include "support/TemporaryFolder.hpp"

namespace sectest {

using zttest::TemporaryFolder;

// Every test starts on a fresh device and leaves none of its held sheets behind.
class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { PlatformTesting::Device::reset(); }
  void TearDown() override { PlatformTesting::Device::reset(); }
};

inline Security::SecQuery protectedItem(const std::string& server, const std::string& secret,
                                        const std::string& account = "user") {
  using namespace Security;
  SecQuery q;
  q[kSecClass] = kSecClassInternetPassword;
  q[kSecAttrAccount] = account;
  q[kSecAttrServer] = server;
  q[kSecAttrAccessControl] = SecAccessControlCreateWithFlags(
      kCFAllocatorDefault, kSecAttrAccessibleWhenPasscodeSetThisDeviceOnly,
      SecAccessControlCreateFlags::userPresence, nullptr);
  q[kSecValueData] = Foundation::dataFromString(secret);
  return q;
}

inline Security::SecQuery plainItem(const std::string& server, const std::string& secret,
                                    const std::string& account = "user") {
  using namespace Security;
  SecQuery q;
  q[kSecClass] = kSecClassInternetPassword;
  q[kSecAttrAccount] = account;
  q[kSecAttrServer] = server;
  q[kSecValueData] = Foundation::dataFromString(secret);
  return q;
}

inline Security::SecQuery byServer(const std::string& server) {
  using namespace Security;
  SecQuery q;
  q[kSecClass] = kSecClassInternetPassword;
  q[kSecAttrServer] = server;
  return q;
}

// The secret of the item on `server`, read through `store` with the given prompt text.
inline Security::OSStatus readSecret(Security::KeychainStore& store, const std::string& server,
                                     std::string& secret, const std::string& prompt = "Unlock") {
  using namespace Security;
  auto q = byServer(server);
  q[kSecReturnData] = true;
  q[kSecMatchLimit] = kSecMatchLimitOne;
  q[kSecUseOperationPrompt] = prompt;
  SecValue result;
  const OSStatus status = store.copyMatching(q, &result);
  if (const auto* data = result.get<Foundation::Data>())
    secret = Foundation::stringFromBytes(*data);
  return status;
}

inline Security::OSStatus readSecret(const std::string& server, std::string& secret,
                                     const std::string& prompt = "Unlock") {
  return readSecret(*Security::KeychainStore::device(), server, secret, prompt);
}

}  // namespace sectest
