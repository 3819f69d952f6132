#include <gtest/gtest.h>

#include <atomic>

#include "SecurityTestSupport.hpp"
#include "support/LateCallbacks.hpp"

using namespace Security;
using PlatformTesting::Device;
using sectest::byServer;
using sectest::plainItem;
using sectest::protectedItem;
using sectest::readSecret;

using KeychainItems = sectest::DeviceTest;

TEST_F(KeychainItems, AddReadAndDeleteAProtectedItem) {
  ASSERT_EQ(SecItemAdd(protectedItem("example.com", "s3cret", "alice"), nullptr), errSecSuccess);

  auto query = byServer("example.com");
  query[kSecMatchLimit] = kSecMatchLimitOne;
  query[kSecReturnAttributes] = true;
  query[kSecReturnData] = true;
  query[kSecUseOperationPrompt] = "Sign in to example.com";
  SecValue result;
  ASSERT_EQ(SecItemCopyMatching(query, &result), errSecSuccess);
  const auto* attributes = result.get<SecDictionary>();
  ASSERT_NE(attributes, nullptr);
  ASSERT_NE(attributes->get<std::string>(kSecAttrAccount), nullptr);
  EXPECT_EQ(*attributes->get<std::string>(kSecAttrAccount), "alice");
  EXPECT_EQ(*attributes->get<std::string>(kSecAttrServer), "example.com");
  ASSERT_NE(attributes->get<Foundation::Data>(kSecValueData), nullptr);
  EXPECT_EQ(*attributes->get<Foundation::Data>(kSecValueData),
            Foundation::dataFromString("s3cret"));

  const auto prompts = Device::shownPrompts();
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].reason, "Sign in to example.com");

  EXPECT_EQ(SecItemDelete(byServer("example.com")), errSecSuccess);
  std::string secret;
  EXPECT_EQ(readSecret("example.com", secret), errSecItemNotFound);
  EXPECT_EQ(SecItemDelete(byServer("example.com")), errSecItemNotFound);
}

TEST_F(KeychainItems, AHeldSheetBlocksOnlyTheReaderUntilTheOwnerAnswers) {
  ASSERT_EQ(SecItemAdd(protectedItem("example.com", "s3cret"), nullptr), errSecSuccess);
  Device::setPromptAnswer(Device::Answer::hold);

  std::atomic<bool> returned{false};
  OSStatus status = errSecParam;
  std::string secret;
  zttest::JoinedThread reader(
      [&] {
        status = readSecret("example.com", secret, "Access to your account");
        returned = true;
      },
      [] { Device::answerPrompt(Device::Answer::approve); });

  const auto prompt = Device::waitForPrompt(10.0);
  ASSERT_TRUE(prompt.has_value());
  EXPECT_EQ(prompt->reason, "Access to your account");
  EXPECT_EQ(prompt->policy, LocalAuthentication::LAPolicy::deviceOwnerAuthentication);
  EXPECT_FALSE(returned.load());

  // The keychain stays usable for everyone else while the sheet is up.
  EXPECT_EQ(SecItemAdd(plainItem("other.example", "x"), nullptr), errSecSuccess);
  std::string other;
  EXPECT_EQ(readSecret("other.example", other), errSecSuccess);
  EXPECT_FALSE(returned.load());

  EXPECT_TRUE(Device::answerPrompt(Device::Answer::approve));
  reader.join();
  EXPECT_EQ(status, errSecSuccess);
  EXPECT_EQ(secret, "s3cret");
  EXPECT_FALSE(Device::answerPrompt(Device::Answer::approve));  // nothing left to answer
}

TEST_F(KeychainItems, ReadsThroughTheGivenAuthenticationContext) {
  ASSERT_EQ(SecItemAdd(protectedItem("example.com", "s3cret"), nullptr), errSecSuccess);
  auto query = byServer("example.com");
  query[kSecReturnData] = true;
  query[kSecUseAuthenticationContext] = std::make_shared<LocalAuthentication::LAContext>();
  SecValue result;
  ASSERT_EQ(SecItemCopyMatching(query, &result), errSecSuccess);
  ASSERT_NE(result.get<Foundation::Data>(), nullptr);
  EXPECT_EQ(*result.get<Foundation::Data>(), Foundation::dataFromString("s3cret"));
  EXPECT_EQ(Device::shownPrompts().size(), 1u);
}

TEST(SecurityStatus, MessagesAreThePlatformTexts) {
  EXPECT_EQ(SecCopyErrorMessageString(errSecDuplicateItem, nullptr),
            "The specified item already exists in the keychain.");
  EXPECT_EQ(SecCopyErrorMessageString(errSecItemNotFound, nullptr),
            "The specified item could not be found in the keychain.");
  EXPECT_EQ(SecCopyErrorMessageString(errSecUserCanceled, nullptr), "User canceled the operation.");
  EXPECT_FALSE(SecCopyErrorMessageString(12345, nullptr).has_value());
}
