#include <gtest/gtest.h>

#include <thread>

#include <Foundation/Data.hpp>
#include <Security/Security.hpp>
#include <ZTBiometrics/ZTKeychain.hpp>

#include "BiometricsTestSupport.hpp"

using namespace ZentrelSDK;
using PlatformTesting::Device;
using Key = ZTKeychain::StorageKeys;
using namespace std::string_literals;

namespace {

Security::SecQuery tokenItemQuery() {
  Security::SecQuery q;
  q[Security::kSecClass] = Security::kSecClassInternetPassword;
  q[Security::kSecAttrServer] = "BIO_STORAGE_TOKEN";
  return q;
}

}  // namespace

using KeychainStore = biotest::DeviceTest;

TEST_F(KeychainStore, StoresReplacesReadsAndDeletes) {
  ASSERT_TRUE(ZTKeychain::addOrUpdateToStorage(Key::token, "first-token").isSuccess());
  ASSERT_TRUE(ZTKeychain::addOrUpdateToStorage(Key::token, "second-token").isSuccess());

  auto read = ZTKeychain::getString(Key::token);
  ASSERT_TRUE(read.isSuccess()) << read.error().status;
  EXPECT_EQ(read.value(), "second-token");
  const auto prompts = Device::shownPrompts();
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].reason, "Access to your account");

  ASSERT_TRUE(ZTKeychain::deleteData(Key::token).isSuccess());
  auto gone = ZTKeychain::getString(Key::token);
  ASSERT_TRUE(gone.isFailure());
  EXPECT_EQ(gone.error().status, Security::errSecItemNotFound);
}

TEST_F(KeychainStore, TheItemIsAnInternetPasswordNamedByTheKeyBehindUserPresence) {
  ASSERT_TRUE(ZTKeychain::addOrUpdateToStorage(Key::token, "t").isSuccess());
  auto query = tokenItemQuery();
  query[Security::kSecAttrAccount] = "BIO_STORAGE_TOKEN";
  query[Security::kSecReturnAttributes] = true;
  Security::SecValue attributes;
  ASSERT_EQ(Security::SecItemCopyMatching(query, &attributes), Security::errSecSuccess);
  EXPECT_TRUE(Device::shownPrompts().empty());

  // Its secret needs the owner, and there is only the one item.
  Device::setPromptAnswer(Device::Answer::cancel);
  query[Security::kSecReturnData] = true;
  EXPECT_EQ(Security::SecItemCopyMatching(query, &attributes), Security::errSecUserCanceled);
  ASSERT_EQ(Security::SecItemDelete(tokenItemQuery()), Security::errSecSuccess);
  EXPECT_EQ(Security::SecItemDelete(tokenItemQuery()), Security::errSecItemNotFound);
}

TEST_F(KeychainStore, NothingStoredIsTheItemNotFoundStatus) {
  auto read = ZTKeychain::getString(Key::token);
  ASSERT_TRUE(read.isFailure());
  EXPECT_EQ(read.error().status, -25300);
  EXPECT_EQ(read.error().localizedDescription(),
            "The specified item could not be found in the keychain.");
  auto deleted = ZTKeychain::deleteData(Key::token);
  ASSERT_TRUE(deleted.isFailure());
  EXPECT_EQ(deleted.error().status, -25300);
  EXPECT_TRUE(Device::shownPrompts().empty());
}

TEST_F(KeychainStore, ACancelledSheetFailsTheReadAndKeepsTheItem) {
  ASSERT_TRUE(ZTKeychain::addOrUpdateToStorage(Key::token, "kept").isSuccess());
  Device::setPromptAnswer(Device::Answer::cancel);
  auto cancelled = ZTKeychain::getString(Key::token);
  ASSERT_TRUE(cancelled.isFailure());
  EXPECT_EQ(cancelled.error().status, Security::errSecUserCanceled);
  EXPECT_EQ(cancelled.error().localizedDescription(), "User canceled the operation.");

  Device::setPromptAnswer(Device::Answer::fail);
  auto failed = ZTKeychain::getString(Key::token);
  ASSERT_TRUE(failed.isFailure());
  EXPECT_EQ(failed.error().status, Security::errSecAuthFailed);

  Device::setPromptAnswer(Device::Answer::approve);
  auto read = ZTKeychain::getString(Key::token);
  ASSERT_TRUE(read.isSuccess());
  EXPECT_EQ(read.value(), "kept");
}

TEST_F(KeychainStore, AnAddWithoutAPasscodeFailsWithThePlatformStatus) {
  Device::setPasscodeSet(false);
  auto added = ZTKeychain::addOrUpdateToStorage(Key::token, "t");
  ASSERT_TRUE(added.isFailure());
  EXPECT_EQ(added.error().status, Security::errSecAuthFailed);
  EXPECT_EQ(added.error().localizedDescription(),
            "The user name or passphrase you entered is not correct.");

  Device::setPasscodeSet(true);
  auto read = ZTKeychain::getString(Key::token);
  ASSERT_TRUE(read.isFailure());
  EXPECT_EQ(read.error().status, Security::errSecItemNotFound);
}

TEST_F(KeychainStore, TextRoundTripsExactly) {
  for (const std::string& secret : {std::string(), "token with \xC3\xA9 and \x00 inside"s}) {
    ASSERT_TRUE(ZTKeychain::addOrUpdateToStorage(Key::token, secret).isSuccess());
    auto read = ZTKeychain::getString(Key::token);
    ASSERT_TRUE(read.isSuccess());
    EXPECT_EQ(read.value(), secret);
  }
}

TEST_F(KeychainStore, AnItemThatIsNotTextIsUnreadable) {
  auto query = tokenItemQuery();
  query[Security::kSecAttrAccount] = "BIO_STORAGE_TOKEN";
  query[Security::kSecValueData] = Foundation::Data{0xC3, 0x28};  // not UTF-8
  ASSERT_EQ(Security::SecItemAdd(query, nullptr), Security::errSecSuccess);
  auto read = ZTKeychain::getString(Key::token);
  ASSERT_TRUE(read.isFailure());
  EXPECT_EQ(read.error().status, -67671);
}

TEST_F(KeychainStore, AReadBlocksItsCallerWhileTheSheetIsUp) {
  ASSERT_TRUE(ZTKeychain::addOrUpdateToStorage(Key::token, "held-token").isSuccess());
  Device::setPromptAnswer(Device::Answer::hold);
  std::optional<Foundation::Result<std::string, ZTKeychain::KeychainError>> read;
  std::thread reader([&] { read.emplace(ZTKeychain::getString(Key::token)); });
  const auto prompt = Device::waitForPrompt(10.0);
  ASSERT_TRUE(prompt.has_value());
  EXPECT_EQ(prompt->reason, "Access to your account");
  ASSERT_TRUE(Device::answerPrompt(Device::Answer::approve));
  reader.join();
  ASSERT_TRUE(read.has_value() && read->isSuccess());
  EXPECT_EQ(read->value(), "held-token");
}

TEST(KeychainErrors, TextsComeFromThePlatformOrAreUnknown) {
  EXPECT_EQ(ZTKeychain::KeychainError{-25299}.localizedDescription(),
            "The specified item already exists in the keychain.");
  EXPECT_EQ(ZTKeychain::KeychainError{424242}.localizedDescription(), "Unknown error.");
}

TEST(KeychainKeys, TheTokenKeyIsNamedByItsRawValue) {
  EXPECT_EQ(rawValue(Key::token), "BIO_STORAGE_TOKEN");
  EXPECT_EQ(fromRawValue<Key>("BIO_STORAGE_TOKEN"), Key::token);
  EXPECT_FALSE(fromRawValue<Key>("bio_storage_token").has_value());
  EXPECT_FALSE(fromRawValue<Key>("").has_value());
}
