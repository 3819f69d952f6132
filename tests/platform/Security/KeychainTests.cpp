#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "SecurityTestSupport.hpp"

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

TEST_F(KeychainItems, AttributesAloneAreReadWithoutAskingTheOwner) {
  ASSERT_EQ(SecItemAdd(protectedItem("example.com", "s3cret"), nullptr), errSecSuccess);
  auto query = byServer("example.com");
  query[kSecReturnAttributes] = true;
  SecValue result;
  ASSERT_EQ(SecItemCopyMatching(query, &result), errSecSuccess);
  ASSERT_NE(result.get<SecDictionary>(), nullptr);
  EXPECT_EQ(result.get<SecDictionary>()->get<Foundation::Data>(kSecValueData), nullptr);
  EXPECT_TRUE(Device::shownPrompts().empty());

  // An unprotected item never asks, even for its secret.
  ASSERT_EQ(SecItemAdd(plainItem("open.example", "visible"), nullptr), errSecSuccess);
  std::string secret;
  EXPECT_EQ(readSecret("open.example", secret), errSecSuccess);
  EXPECT_EQ(secret, "visible");
  EXPECT_TRUE(Device::shownPrompts().empty());
}

TEST_F(KeychainItems, ASecondAddWithTheSameIdentityIsADuplicate) {
  ASSERT_EQ(SecItemAdd(protectedItem("example.com", "first", "alice"), nullptr), errSecSuccess);
  EXPECT_EQ(SecItemAdd(protectedItem("example.com", "second", "alice"), nullptr),
            errSecDuplicateItem);
  std::string secret;
  ASSERT_EQ(readSecret("example.com", secret), errSecSuccess);
  EXPECT_EQ(secret, "first");

  // Another account on the same server is another item.
  EXPECT_EQ(SecItemAdd(protectedItem("example.com", "other", "bob"), nullptr), errSecSuccess);
  EXPECT_EQ(SecItemDelete(byServer("example.com")), errSecSuccess);  // both go
  EXPECT_EQ(readSecret("example.com", secret), errSecItemNotFound);
}

TEST_F(KeychainItems, UpdateChangesMatchingItemsAndKeepsIdentitiesUnique) {
  ASSERT_EQ(SecItemAdd(plainItem("a.example", "old", "alice"), nullptr), errSecSuccess);
  ASSERT_EQ(SecItemAdd(plainItem("b.example", "other", "alice"), nullptr), errSecSuccess);

  SecDictionary change;
  change[kSecValueData] = Foundation::dataFromString("new");
  ASSERT_EQ(SecItemUpdate(byServer("a.example"), change), errSecSuccess);
  std::string secret;
  ASSERT_EQ(readSecret("a.example", secret), errSecSuccess);
  EXPECT_EQ(secret, "new");

  SecDictionary move;
  move[kSecAttrServer] = "b.example";
  EXPECT_EQ(SecItemUpdate(byServer("a.example"), move), errSecDuplicateItem);
  ASSERT_EQ(readSecret("a.example", secret), errSecSuccess);  // left as it was
  EXPECT_EQ(secret, "new");

  EXPECT_EQ(SecItemUpdate(byServer("nowhere.example"), change), errSecItemNotFound);
  SecDictionary classChange;
  classChange[kSecClass] = kSecClassInternetPassword;
  EXPECT_EQ(SecItemUpdate(byServer("a.example"), classChange), errSecParam);
}

TEST_F(KeychainItems, UpdatingAProtectedItemAsksTheOwner) {
  ASSERT_EQ(SecItemAdd(protectedItem("example.com", "old"), nullptr), errSecSuccess);
  SecDictionary change;
  change[kSecValueData] = Foundation::dataFromString("new");

  Device::setPromptAnswer(Device::Answer::cancel);
  auto query = byServer("example.com");
  query[kSecUseOperationPrompt] = "Change your password";
  EXPECT_EQ(SecItemUpdate(query, change), errSecUserCanceled);

  Device::setPromptAnswer(Device::Answer::approve);
  std::string secret;
  ASSERT_EQ(readSecret("example.com", secret), errSecSuccess);
  EXPECT_EQ(secret, "old");
  EXPECT_EQ(SecItemUpdate(query, change), errSecSuccess);
  ASSERT_EQ(readSecret("example.com", secret), errSecSuccess);
  EXPECT_EQ(secret, "new");
  EXPECT_EQ(Device::shownPrompts().front().reason, "Change your password");
}

TEST_F(KeychainItems, ARefusedSheetFailsTheReadAndKeepsTheItem) {
  ASSERT_EQ(SecItemAdd(protectedItem("example.com", "s3cret"), nullptr), errSecSuccess);
  std::string secret;

  Device::setPromptAnswer(Device::Answer::cancel);
  EXPECT_EQ(readSecret("example.com", secret), errSecUserCanceled);
  Device::setPromptAnswer(Device::Answer::fail);
  EXPECT_EQ(readSecret("example.com", secret), errSecAuthFailed);
  EXPECT_TRUE(secret.empty());

  Device::setPromptAnswer(Device::Answer::approve);
  ASSERT_EQ(readSecret("example.com", secret), errSecSuccess);
  EXPECT_EQ(secret, "s3cret");
  EXPECT_EQ(Device::shownPrompts().size(), 3u);
}

TEST_F(KeychainItems, PasscodeProtectedItemsNeedAPasscode) {
  Device::setPasscodeSet(false);
  EXPECT_EQ(SecItemAdd(protectedItem("example.com", "s3cret"), nullptr), errSecAuthFailed);
  Device::setPasscodeSet(true);
  std::string secret;
  EXPECT_EQ(readSecret("example.com", secret), errSecItemNotFound);  // nothing was stored

  ASSERT_EQ(SecItemAdd(protectedItem("example.com", "s3cret"), nullptr), errSecSuccess);
  Device::setPasscodeSet(false);  // the owner cannot prove presence any more
  EXPECT_EQ(readSecret("example.com", secret), errSecAuthFailed);
  EXPECT_TRUE(Device::shownPrompts().empty());
}

TEST_F(KeychainItems, TheEmptySecretRoundTrips) {
  ASSERT_EQ(SecItemAdd(protectedItem("example.com", ""), nullptr), errSecSuccess);
  auto query = byServer("example.com");
  query[kSecReturnData] = true;
  SecValue result;
  ASSERT_EQ(SecItemCopyMatching(query, &result), errSecSuccess);
  ASSERT_NE(result.get<Foundation::Data>(), nullptr);
  EXPECT_TRUE(result.get<Foundation::Data>()->empty());
}

TEST_F(KeychainItems, MalformedDictionariesAreRejected) {
  auto noClass = plainItem("example.com", "x");
  noClass.erase(kSecClass);
  EXPECT_EQ(SecItemAdd(noClass, nullptr), errSecParam);

  auto wrongClass = plainItem("example.com", "x");
  wrongClass[kSecClass] = kSecAttrServer;
  EXPECT_EQ(SecItemAdd(wrongClass, nullptr), errSecParam);

  auto flagAsAccount = plainItem("example.com", "x");
  flagAsAccount[kSecAttrAccount] = true;
  EXPECT_EQ(SecItemAdd(flagAsAccount, nullptr), errSecParam);

  auto notUnicode = plainItem("example.com", "x");
  notUnicode[kSecAttrServer] = std::string("\xC3\x28");
  EXPECT_EQ(SecItemAdd(notUnicode, nullptr), errSecParam);

  auto textAsData = plainItem("example.com", "x");
  textAsData[kSecValueData] = "x";
  EXPECT_EQ(SecItemAdd(textAsData, nullptr), errSecParam);

  auto noAccess = plainItem("example.com", "x");
  noAccess[kSecAttrAccessControl] = SecAccessControlRef();
  EXPECT_EQ(SecItemAdd(noAccess, nullptr), errSecParam);

  ASSERT_EQ(SecItemAdd(plainItem("example.com", "x"), nullptr), errSecSuccess);
  auto badLimit = byServer("example.com");
  badLimit[kSecMatchLimit] = kSecReturnData;
  SecValue result;
  EXPECT_EQ(SecItemCopyMatching(badLimit, &result), errSecParam);
  auto badReturn = byServer("example.com");
  badReturn[kSecReturnData] = "yes";
  EXPECT_EQ(SecItemCopyMatching(badReturn, &result), errSecParam);
  EXPECT_TRUE(result.isNil());

  OSStatus error = errSecSuccess;
  EXPECT_EQ(SecAccessControlCreateWithFlags(kCFAllocatorDefault, kSecClassInternetPassword,
                                            SecAccessControlCreateFlags::userPresence, &error),
            nullptr);
  EXPECT_EQ(error, errSecParam);
}

TEST_F(KeychainItems, AHeldSheetBlocksOnlyTheReaderUntilTheOwnerAnswers) {
  ASSERT_EQ(SecItemAdd(protectedItem("example.com", "s3cret"), nullptr), errSecSuccess);
  Device::setPromptAnswer(Device::Answer::hold);

  std::atomic<bool> returned{false};
  OSStatus status = errSecParam;
  std::string secret;
  std::thread reader([&] {
    status = readSecret("example.com", secret, "Access to your account");
    returned = true;
  });

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

TEST_F(KeychainItems, AHeldSheetCancelledByTheOwnerOrTheSystemIsACancel) {
  ASSERT_EQ(SecItemAdd(protectedItem("example.com", "s3cret"), nullptr), errSecSuccess);
  Device::setPromptAnswer(Device::Answer::hold);

  for (const bool byOwner : {true, false}) {
    OSStatus status = errSecSuccess;
    std::string secret;
    std::thread reader([&] { status = readSecret("example.com", secret); });
    ASSERT_TRUE(Device::waitForPrompt(10.0).has_value());
    if (byOwner) {
      EXPECT_TRUE(Device::answerPrompt(Device::Answer::cancel));
    } else {
      // Resetting the device dismisses the sheet, and the keychain with it.
      Device::reset();
    }
    reader.join();
    EXPECT_EQ(status, errSecUserCanceled);
    EXPECT_TRUE(secret.empty());
  }
  std::string secret;
  EXPECT_EQ(readSecret("example.com", secret), errSecItemNotFound);
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
