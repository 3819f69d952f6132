#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include <Foundation/FileManager.hpp>
#include <Foundation/UserDefaults.hpp>

#include "ZTOAuth/ZTOAuthUtilites/ZTPKCE.hpp"

using namespace ZentrelSDK;

namespace {

bool isBase64URL(const std::string& text) {
  for (char c : text)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') return false;
  return true;
}

// A user-defaults file of this test's own, so stale values can be planted.
class PKCETest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("zt-pkce-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
    Foundation::FileManager::setApplicationDataDirectory(folder_.string());
    Foundation::UserDefaults::resetStandardUserDefaults();
    ZTPKCE::clearCodes();
  }
  void TearDown() override {
    ZTPKCE::setRandomSource(nullptr);
    ZTPKCE::clearCodes();
    Foundation::FileManager::setApplicationDataDirectory(std::nullopt);
    Foundation::UserDefaults::resetStandardUserDefaults();
    std::filesystem::remove_all(folder_);
  }

  std::filesystem::path folder_;
};

}  // namespace

TEST_F(PKCETest, ReproducesTheRfc7636AppendixBPair) {
  // The octets of RFC 7636 Appendix B, fed through the random source.
  static constexpr std::array<std::uint8_t, 32> kOctets{
      116, 24,  223, 180, 151, 153, 224, 37,  79, 250, 96, 125, 216, 173, 187, 186,
      22,  212, 37,  77,  105, 214, 191, 240, 91, 88,  5,  88,  83,  132, 141, 121};
  ZTPKCE::setRandomSource([](std::size_t count, void* bytes) {
    if (count != kOctets.size()) return Security::errSecParam;
    std::memcpy(bytes, kOctets.data(), kOctets.size());
    return Security::errSecSuccess;
  });
  std::string verifier;
  std::optional<std::string> challenge;
  ASSERT_TRUE(ZTPKCE::createCodeVerifiedAndChallenge(
      [&](const std::string& v, const std::optional<std::string>& c) {
        verifier = v;
        challenge = c;
      }));
  EXPECT_EQ(verifier, "dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk");
  EXPECT_EQ(challenge, "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM");
  EXPECT_EQ(ZTPKCE::challenge("dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk"),
            "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM");
}

TEST_F(PKCETest, VerifiersAreFreshBase64URLAndHeldInMemoryOnly) {
  std::set<std::string> seen;
  for (int i = 0; i < 20; ++i) {
    std::string verifier;
    std::optional<std::string> challenge;
    bool called = false;
    ASSERT_TRUE(ZTPKCE::createCodeVerifiedAndChallenge(
        [&](const std::string& v, const std::optional<std::string>& c) {
          called = true;
          verifier = v;
          challenge = c;
        }));
    ASSERT_TRUE(called);  // synchronously, before returning
    EXPECT_EQ(verifier.size(), 43u);
    EXPECT_TRUE(isBase64URL(verifier)) << verifier;
    ASSERT_TRUE(challenge);
    EXPECT_EQ(challenge->size(), 43u);
    EXPECT_TRUE(isBase64URL(*challenge)) << *challenge;
    EXPECT_EQ(*challenge, ZTPKCE::challenge(verifier));
    EXPECT_EQ(ZTPKCE::getVerifierCode(), verifier);
    EXPECT_EQ(ZTPKCE::getChallengeCode(), challenge);
    EXPECT_TRUE(seen.insert(verifier).second) << "repeated verifier";
  }
  auto& defaults = Foundation::UserDefaults::standard();
  EXPECT_FALSE(defaults.contains("VERIFIED_CODE"));
  EXPECT_FALSE(defaults.contains("CHALLENGE_CODE"));

  ZTPKCE::clearCodes();
  EXPECT_EQ(ZTPKCE::getVerifierCode(), std::nullopt);
  EXPECT_EQ(ZTPKCE::getChallengeCode(), std::nullopt);
}

TEST_F(PKCETest, StaleStoredPairIsRemovedAndNeverUsed) {
  auto& defaults = Foundation::UserDefaults::standard();
  defaults.set("stale-verifier", "VERIFIED_CODE");
  defaults.set("stale-challenge", "CHALLENGE_CODE");
  EXPECT_EQ(ZTPKCE::getVerifierCode(), std::nullopt);

  std::string verifier;
  ASSERT_TRUE(ZTPKCE::createCodeVerifiedAndChallenge(
      [&](const std::string& v, const std::optional<std::string>&) { verifier = v; }));
  EXPECT_NE(verifier, "stale-verifier");
  EXPECT_FALSE(defaults.contains("VERIFIED_CODE"));
  EXPECT_FALSE(defaults.contains("CHALLENGE_CODE"));

  // A later run finds nothing on disk either.
  Foundation::UserDefaults::resetStandardUserDefaults();
  EXPECT_FALSE(Foundation::UserDefaults::standard().contains("VERIFIED_CODE"));

  Foundation::UserDefaults::standard().set("stale-verifier", "VERIFIED_CODE");
  ZTPKCE::clearCodes();
  EXPECT_FALSE(Foundation::UserDefaults::standard().contains("VERIFIED_CODE"));
}
