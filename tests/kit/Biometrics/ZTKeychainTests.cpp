#include <gtest/gtest.h>

#include <Security/Security.hpp>
#include <ZTBiometrics/ZTKeychain.hpp>

#include "BiometricsTestSupport.hpp"
#include "support/LateCallbacks.hpp"

using namespace ZentrelSDK;
using PlatformTesting::Device;
using Key = ZTKeychain::StorageKeys;
using namespace std::string_literals;

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

TEST_F(KeychainStore, AReadBlocksItsCallerWhileTheSheetIsUp) {
  ASSERT_TRUE(ZTKeychain::addOrUpdateToStorage(Key::token, "held-token").isSuccess());
  Device::setPromptAnswer(Device::Answer::hold);
  std::optional<Foundation::Result<std::string, ZTKeychain::KeychainError>> read;
  zttest::JoinedThread reader([&] { read.emplace(ZTKeychain::getString(Key::token)); },
                              [] { Device::answerPrompt(Device::Answer::approve); });
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
