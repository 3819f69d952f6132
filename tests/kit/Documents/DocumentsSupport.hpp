// The documents clients' fixture: a signed-in user, the kit set up for the sandbox's app, and
// JPEG-looking files to upload.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <string>

#include <Foundation/URL.hpp>

#include "ZTOAuth/ZTOAuthCore.hpp"
#include "ZTTokenUtilites.hpp"
#include "kit/IdentityAPI/IdentitySupport.hpp"
#include "support/TemporaryFolder.hpp"

namespace docstest {

inline constexpr const char* kUser = "user1@example.com";
inline constexpr const char* kApp = "sandbox-app";

// A file the sandbox takes for a JPEG (it starts with FF D8 FF) of `size` bytes.
inline std::string jpegBytes(std::size_t size) {
  std::string bytes = sandbox::testPattern(0, size);
  bytes.replace(0, 3, "\xFF\xD8\xFF");
  return bytes;
}

class DocumentsTest : public idtest::IdentitySandboxTest {
 protected:
  static void SetUpTestSuite() {
    ZentrelSDK::ZTOAuthCore::setup(ZentrelSDK::ZTOAuthCore::Config(kApp));
  }
  void SetUp() override {
    idtest::IdentitySandboxTest::SetUp();
    session = sb().signIn(kUser);
    ZentrelSDK::ZTTokenUtilites::shared()->saveToken(session, /*base64=*/false);
  }

 public:
  Foundation::URL file(const std::string& name, const std::string& bytes) const {
    std::ofstream(folder / name, std::ios::binary) << bytes;
    return Foundation::URL::fileURLWithPath(folder / name);
  }
  Foundation::URL jpeg(std::size_t size = 4096) const { return file("file.jpg", jpegBytes(size)); }

  std::string session;
  zttest::TemporaryFolder folder;
};

}  // namespace docstest
