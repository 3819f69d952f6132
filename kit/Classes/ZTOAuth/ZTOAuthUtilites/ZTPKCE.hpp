#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include <Security/SecBase.hpp>

namespace ZentrelSDK {

// Proof Key for Code Exchange (RFC 7636, S256). The pair lives in memory for the running flow
// only: a verifier is a secret, so it is never written to disk.
class ZTPKCE {
 public:
  using Completion =
      std::function<void(const std::string& verifier, const std::optional<std::string>& challenge)>;
  using RandomSource = std::function<Security::OSStatus(std::size_t count, void* bytes)>;

  ZTPKCE() = default;

  // Makes a new verifier (32 random bytes, base64url: 43 characters) and its challenge
  // (base64url of the verifier's SHA-256), keeps both and hands them to `completion` before
  // returning. When the random source fails nothing is kept, `completion` is not called and
  // the result is false.
  [[nodiscard]] static bool createCodeVerifiedAndChallenge(const Completion& completion);
  // A fresh opaque `state` for the authorization request, independent of the verifier; absent
  // when the random source fails.
  static std::optional<std::string> createState();

  static std::optional<std::string> getVerifierCode();
  static std::optional<std::string> getChallengeCode();
  // Forgets the pair, and any copy an older release left in the user defaults.
  static void clearCodes();

  // Tests only: replaces SecRandomCopyBytes; nullptr restores it.
  static void setRandomSource(RandomSource source);

  // RFC 7636 S256: base64url without padding of SHA-256 over the verifier's bytes.
  static std::string challenge(const std::string& verifier);

 private:
  static std::optional<std::string> randomBase64URL(std::size_t count);
  static void removeStoredDefaults();
};

}  // namespace ZentrelSDK
