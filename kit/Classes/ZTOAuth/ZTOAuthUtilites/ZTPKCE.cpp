#include "ZTOAuth/ZTOAuthUtilites/ZTPKCE.hpp"

#include <mutex>
#include <vector>

#include <CommonCrypto/CommonDigest.hpp>
#include <Foundation/Data.hpp>
#include <Foundation/UserDefaults.hpp>
#include <Security/SecRandom.hpp>

#include "ZTLogger.hpp"

namespace ZentrelSDK {

namespace {

// Where older releases stored the pair; read only to remove it.
constexpr const char* VERIFIED_CODE = "VERIFIED_CODE";
constexpr const char* CHALLENGE_CODE = "CHALLENGE_CODE";
constexpr std::size_t kSecretBytes = 32;

struct Store {
  std::mutex mutex;
  std::optional<std::string> verifier;
  std::optional<std::string> challenge;
  ZTPKCE::RandomSource randomSource;
};

Store& store() {
  static Store instance;
  return instance;
}

}  // namespace

std::optional<std::string> ZTPKCE::randomBase64URL(std::size_t count) {
  ZTPKCE::RandomSource source;
  {
    std::lock_guard lock(store().mutex);
    source = store().randomSource;
  }
  std::vector<std::uint8_t> bytes(count);
  const Security::OSStatus status =
      source ? source(count, bytes.data())
             : Security::SecRandomCopyBytes(Security::kSecRandomDefault, count, bytes.data());
  if (status != Security::errSecSuccess) {
    ZTLogger::errorLog("Secure random source failed (" + std::to_string(status) + ")");
    return std::nullopt;
  }
  return Foundation::base64URLEncodedString(bytes);
}

std::string ZTPKCE::challenge(const std::string& verifier) {
  unsigned char digest[CommonCrypto::CC_SHA256_DIGEST_LENGTH];
  CommonCrypto::CC_SHA256(verifier.data(), static_cast<CommonCrypto::CC_LONG>(verifier.size()),
                          digest);
  return Foundation::base64URLEncodedString(Foundation::Bytes(digest, sizeof digest));
}

bool ZTPKCE::createCodeVerifiedAndChallenge(const Completion& completion) {
  removeStoredDefaults();
  auto verifier = randomBase64URL(kSecretBytes);
  if (!verifier) {
    clearCodes();
    return false;
  }
  const auto codeChallenge = challenge(*verifier);
  {
    std::lock_guard lock(store().mutex);
    store().challenge = codeChallenge;
    store().verifier = *verifier;
  }
  if (completion) completion(*verifier, codeChallenge);
  return true;
}

std::optional<std::string> ZTPKCE::createState() {
  return randomBase64URL(kSecretBytes);
}

std::optional<std::string> ZTPKCE::getVerifierCode() {
  std::lock_guard lock(store().mutex);
  return store().verifier;
}

std::optional<std::string> ZTPKCE::getChallengeCode() {
  std::lock_guard lock(store().mutex);
  return store().challenge;
}

void ZTPKCE::clearCodes() {
  {
    std::lock_guard lock(store().mutex);
    store().verifier.reset();
    store().challenge.reset();
  }
  removeStoredDefaults();
}

void ZTPKCE::setRandomSource(RandomSource source) {
  std::lock_guard lock(store().mutex);
  store().randomSource = std::move(source);
}

void ZTPKCE::removeStoredDefaults() {
  auto& defaults = Foundation::UserDefaults::standard();
  if (defaults.contains(VERIFIED_CODE)) defaults.removeObject(VERIFIED_CODE);
  if (defaults.contains(CHALLENGE_CODE)) defaults.removeObject(CHALLENGE_CODE);
}

}  // namespace ZentrelSDK
