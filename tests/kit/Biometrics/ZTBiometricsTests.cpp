#include <gtest/gtest.h>

#include <string>
#include <thread>

#include <ZTBiometrics/ZTBiometrics.hpp>

#include "BiometricsTestSupport.hpp"

using namespace ZentrelSDK;
using LocalAuthentication::LABiometryType;
using PlatformTesting::Device;

namespace {

using TokenResult = Foundation::Result<std::string, ZTBiometrics::Error>;
using FlagResult = Foundation::Result<bool, ZTBiometrics::Error>;

std::optional<std::int32_t> keychainStatus(const ZTBiometrics::Error& error) {
  if (const auto* k = std::get_if<ZTKeychain::KeychainError>(&error)) return k->status;
  return std::nullopt;
}

// Results after keychain work come on the global queue, never on the main thread.
void expectGlobalQueue(const biotest::Place& place) {
  EXPECT_TRUE(place.globalDefaultQueue);
  EXPECT_FALSE(place.mainThread);
  EXPECT_NE(place.thread, std::this_thread::get_id());
}

FlagResult store(const std::string& token) {
  biotest::Captured<FlagResult> stored;
  ZTBiometrics::shared()->storeToken(token, stored.callback());
  auto result = stored.wait();
  if (!result) ADD_FAILURE() << "storeToken never answered";
  expectGlobalQueue(stored.place());
  return result ? *result : FlagResult(Foundation::failure(ZTBiometrics::Error{}));
}

}  // namespace

using Biometrics = biotest::DeviceTest;

TEST_F(Biometrics, CheckBioTypeReportsWhatTheDeviceOffers) {
  auto& bio = *ZTBiometrics::shared();
  bio.setAuthorizationError(std::nullopt);

  Device::setBiometry(LABiometryType::touchID);
  EXPECT_EQ(bio.checkBioType(), LABiometryType::touchID);
  Device::setBiometry(LABiometryType::faceID);
  EXPECT_EQ(bio.checkBioType(), LABiometryType::faceID);
  // The device-owner policy passes on the passcode alone; the hardware decides.
  Device::setBiometry(LABiometryType::touchID, false);
  EXPECT_EQ(bio.checkBioType(), LABiometryType::touchID);
  Device::setBiometry(LABiometryType::none);
  EXPECT_EQ(bio.checkBioType(), LABiometryType::none);
  EXPECT_FALSE(bio.authorizationError().has_value());

  Device::setBiometry(LABiometryType::faceID);
  Device::setPasscodeSet(false);
  EXPECT_EQ(bio.checkBioType(), LABiometryType::none);
  ASSERT_TRUE(bio.authorizationError().has_value());
  EXPECT_EQ(bio.authorizationError()->code, LocalAuthentication::LAError::Code::passcodeNotSet);

  // A later success leaves the last failure as it was.
  Device::setPasscodeSet(true);
  EXPECT_EQ(bio.checkBioType(), LABiometryType::faceID);
  EXPECT_TRUE(bio.authorizationError().has_value());
  bio.setAuthorizationError(std::nullopt);
}

TEST_F(Biometrics, WithoutUsableBiometryGetTokenFailsAtOnceOnTheCallersThread) {
  ASSERT_TRUE(store("stored-token").isSuccess());
  for (const bool passcode : {false, true}) {
    SCOPED_TRACE(passcode ? "passcode without biometric hardware" : "no passcode");
    Device::setPasscodeSet(passcode);
    Device::setBiometry(passcode ? LABiometryType::none : LABiometryType::faceID);

    biotest::Captured<TokenResult> token;
    ZTBiometrics::shared()->getToken(token.callback());
    ASSERT_TRUE(token.arrived());  // before getToken returned
    EXPECT_EQ(token.place().thread, std::this_thread::get_id());
    const auto result = *token.wait();
    ASSERT_TRUE(result.isFailure());
    ASSERT_TRUE(std::holds_alternative<ZTBiometrics::BioError>(result.error()));
    EXPECT_EQ(std::get<ZTBiometrics::BioError>(result.error()),
              ZTBiometrics::BioError::deviceDoesNotSupportBiometric);
    EXPECT_EQ(ZTBiometrics::localizedDescription(result.error()),
              "Your device does not support biometrics");
    EXPECT_EQ(token.calls(), 1);
  }
  EXPECT_TRUE(Device::shownPrompts().empty());  // the keychain was never asked
}

TEST_F(Biometrics, StoresAndReadsTheTokenOnTheGlobalQueue) {
  const auto stored = store("session-token");
  ASSERT_TRUE(stored.isSuccess());
  EXPECT_TRUE(stored.value());

  biotest::Captured<TokenResult> token;
  ZTBiometrics::shared()->getToken(token.callback());
  const auto result = token.wait();
  ASSERT_TRUE(result.has_value());
  ASSERT_TRUE(result->isSuccess());
  EXPECT_EQ(result->value(), "session-token");
  expectGlobalQueue(token.place());
  const auto prompts = Device::shownPrompts();
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].reason, "Access to your account");
}

TEST_F(Biometrics, TheSheetHoldsOnlyTheWorkerAndACancelKeepsTheToken) {
  ASSERT_TRUE(store("kept-token").isSuccess());
  Device::setPromptAnswer(Device::Answer::hold);

  biotest::Captured<TokenResult> cancelled;
  ZTBiometrics::shared()->getToken(cancelled.callback());  // returns while the sheet is up
  const auto prompt = Device::waitForPrompt(10.0);
  ASSERT_TRUE(prompt.has_value());
  EXPECT_EQ(prompt->reason, "Access to your account");
  EXPECT_FALSE(cancelled.arrived());
  ASSERT_TRUE(Device::answerPrompt(Device::Answer::cancel));
  const auto refused = cancelled.wait();
  ASSERT_TRUE(refused.has_value() && refused->isFailure());
  EXPECT_EQ(keychainStatus(refused->error()), Security::errSecUserCanceled);
  expectGlobalQueue(cancelled.place());

  biotest::Captured<TokenResult> approved;
  ZTBiometrics::shared()->getToken(approved.callback());
  ASSERT_TRUE(Device::waitForPrompt(10.0).has_value());
  ASSERT_TRUE(Device::answerPrompt(Device::Answer::approve));
  const auto read = approved.wait();
  ASSERT_TRUE(read.has_value() && read->isSuccess());
  EXPECT_EQ(read->value(), "kept-token");
}

TEST(BioErrors, CarryTheKitsTexts) {
  EXPECT_EQ(ZTBiometrics::errorDescription(ZTBiometrics::BioError::deviceDoesNotSupportBiometric),
            "Your device does not support biometrics");
  EXPECT_EQ(ZTBiometrics::errorDescription(ZTBiometrics::BioError::cannotSaveNilData),
            "Cannot save nil data");
  EXPECT_EQ(ZTBiometrics::localizedDescription(ZTKeychain::KeychainError{-1}), "Unknown error.");
}
