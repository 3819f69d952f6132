#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include <CommonCrypto/CommonDigest.hpp>
#include <Foundation/Data.hpp>
#include <Security/SecRandom.hpp>

using namespace CommonCrypto;

namespace {

std::string hex(const unsigned char* bytes, std::size_t size) {
  std::string out;
  char buf[3];
  for (std::size_t i = 0; i < size; ++i) {
    std::snprintf(buf, sizeof buf, "%02x", bytes[i]);
    out += buf;
  }
  return out;
}

std::string sha256(const std::string& text) {
  std::array<unsigned char, CC_SHA256_DIGEST_LENGTH> digest{};
  if (CC_SHA256(text.data(), static_cast<CC_LONG>(text.size()), digest.data()) != digest.data())
    return "failed";
  return hex(digest.data(), digest.size());
}

}  // namespace

TEST(SHA256, MatchesKnownVectors) {
  EXPECT_EQ(sha256(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(sha256("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(sha256(std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  // The PKCE example verifier and challenge of RFC 7636.
  std::array<unsigned char, CC_SHA256_DIGEST_LENGTH> digest{};
  const std::string verifier = "dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk";
  CC_SHA256(verifier.data(), static_cast<CC_LONG>(verifier.size()), digest.data());
  EXPECT_EQ(Foundation::base64URLEncodedString(digest),
            "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM");
}

TEST(SHA256, RefusesMissingBuffers) {
  std::array<unsigned char, CC_SHA256_DIGEST_LENGTH> digest{};
  EXPECT_EQ(CC_SHA256("abc", 3, nullptr), nullptr);
  EXPECT_EQ(CC_SHA256(nullptr, 3, digest.data()), nullptr);
  EXPECT_EQ(CC_SHA256(nullptr, 0, digest.data()), digest.data());  // the empty message
  EXPECT_EQ(hex(digest.data(), 4), "e3b0c442");
}

TEST(SecRandom, FillsFreshBytesEachCall) {
  std::vector<unsigned char> a(32), b(32);
  ASSERT_EQ(Security::SecRandomCopyBytes(Security::kSecRandomDefault, a.size(), a.data()),
            Security::errSecSuccess);
  ASSERT_EQ(Security::SecRandomCopyBytes(Security::kSecRandomDefault, b.size(), b.data()),
            Security::errSecSuccess);
  EXPECT_NE(a, b);
  EXPECT_NE(a, std::vector<unsigned char>(32, 0));

  EXPECT_EQ(Security::SecRandomCopyBytes(Security::kSecRandomDefault, 8, nullptr),
            Security::errSecParam);
  EXPECT_EQ(Security::SecRandomCopyBytes(Security::kSecRandomDefault, 0, nullptr),
            Security::errSecSuccess);
}
