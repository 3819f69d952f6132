#include <ZTUtilites/ZTConstants.hpp>
#include <ZTUtilites/ZTPublicConstants.hpp>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

using namespace ZentrelSDK;

namespace {

constexpr const char* kIdentity = "https://id.zentrel.com/api/v1.1";
constexpr const char* kIdentityDev = "https://id.dev.zentrel.com/api/v1.1";
constexpr const char* kAPI = "https://api.zentrel.com/v1";
constexpr const char* kAPIDev = "https://api.dev.zentrel.com/v1";

class ZTConstantsTest : public ::testing::Test {
 protected:
  void TearDown() override { ZTConstants::enableDevServer = false; }
};

struct IdGetter {
  std::function<std::string(const std::string&)> get;
  const char* before;  // the path up to the id
  const char* after;   // the path after it
};

const std::vector<IdGetter>& idGetters() {
  static const std::vector<IdGetter> getters = {
      {ZTConstants::getDocumentPath, "/documents/", ""},
      {ZTConstants::getDocumentFrontPath, "/documents/", "/front/file"},
      {ZTConstants::getDocumentBackPath, "/documents/", "/back/file"},
      {ZTConstants::getDocumentStatusLogPath, "/documents/", "/status/log"},
      {ZTConstants::getDocumentLoadFrontPath, "/documents/", "/front"},
      {ZTConstants::getDocumentLoadBackPath, "/documents/", "/back"},
      {ZTConstants::getDocumentConfirmPath, "/documents/", "/confirm"},
      {ZTConstants::getDocumentDeletePath, "/documents/", ""},
      {ZTConstants::getAppsDockRequiredPath, "/apps/", "/documents/required"},
  };
  return getters;
}

}  // namespace

TEST_F(ZTConstantsTest, IdsAreEscapedAsOnePathSegmentAndNeverReadAsAFormat) {
  // Format directives and a placeholder inside the id must come out as escaped data.
  const std::vector<std::pair<std::string, std::string>> rows = {{"42", "42"},
                                                                 {"a/b c", "a%2Fb%20c"},
                                                                 {"%@", "%25%40"},
                                                                 {"x%@y", "x%25%40y"},
                                                                 {"%d%s%n%%", "%25d%25s%25n%25%25"},
                                                                 {"a.b-c_d~", "a.b-c_d~"}};
  for (const auto& [id, segment] : rows) {
    for (bool dev : {false, true}) {
      ZTConstants::enableDevServer = dev;
      const std::string base = dev ? kIdentityDev : kIdentity;
      for (const auto& getter : idGetters()) {
        EXPECT_EQ(getter.get(id), base + getter.before + segment + getter.after)
            << "id=\"" << id << "\" dev=" << dev;
      }
    }
  }
  // No path of its own: the empty text, which no request accepts.
  for (const std::string id : {"", ".", ".."}) {
    for (const auto& getter : idGetters()) EXPECT_EQ(getter.get(id), "") << id;
    EXPECT_EQ(ZTConstants::getOAuthConsentPath(id), "") << id;
  }
}

TEST_F(ZTConstantsTest, URLsBuiltEarlierKeepTheirServer) {
  const auto before = ZTConstants::getAuthCheckPath();
  const auto apiBefore = ZTConstants::getZentrelAPIFullPath("/user");
  ZTConstants::enableDevServer = true;
  EXPECT_EQ(before, std::string(kIdentity) + "/auth/check");
  EXPECT_EQ(apiBefore, std::string(kAPI) + "/user");
  EXPECT_EQ(ZTConstants::getAuthCheckPath(), std::string(kIdentityDev) + "/auth/check");
  EXPECT_EQ(ZTConstants::getZentrelAPIFullPath("/user"), std::string(kAPIDev) + "/user");
}

TEST_F(ZTConstantsTest, TheSwitchCanBeFlippedWhileOtherThreadsBuildURLs) {
  std::atomic<bool> stop{false};
  std::atomic<int> bad{0};
  std::vector<std::thread> readers;
  for (int i = 0; i < 4; ++i) {
    readers.emplace_back([&] {
      while (!stop) {
        const auto url = ZTConstants::getAuthPath();
        if (url != std::string(kIdentity) + "/auth" && url != std::string(kIdentityDev) + "/auth")
          ++bad;
      }
    });
  }
  for (int i = 0; i < 2000; ++i) ZTConstants::enableDevServer = (i % 2 == 0);
  stop = true;
  for (auto& reader : readers) reader.join();
  EXPECT_EQ(bad, 0);
}

TEST(ZTConstantsEnumerations, ChallengeTypeTextsAndTheNameSentForATokenRequest) {
  using CT = ZTConstants::ChallengeType;
  const struct {
    CT type;
    const char* raw;
    const char* forToken;
  } cases[] = {{CT::emailLink, "emailLink", "emailLink"},
               {CT::otp, "otp", "otp"},
               {CT::password, "password", "password"},
               {CT::sms, "sms", "emailLink"}};
  for (const auto& c : cases) {
    EXPECT_EQ(rawValue(c.type), c.raw);
    EXPECT_EQ(fromRawValue<CT>(c.raw), c.type);
    EXPECT_EQ(typeNameForGetToken(c.type), c.forToken);
  }
  for (const char* text : {"SMS", "Otp", "email_link", "", "sms "}) {
    EXPECT_EQ(fromRawValue<CT>(text), std::nullopt) << text;
  }
}

TEST(ZTPublicConstantsEnumerations, DocumentTypeWireAndDisplayTexts) {
  using DT = ZTPublicConstants::DocumentType;
  const struct {
    DT type;
    const char* raw;
    const char* display;
  } cases[] = {{DT::Passport, "Passport", "Passport"},
               {DT::DriverLicense, "DriverLicense", "Driver License"},
               {DT::ProofOfAddress, "ProofOfAddress", "Proof of Address"},
               {DT::IdCard, "IdCard", "Id Card"}};
  for (const auto& c : cases) {
    EXPECT_EQ(rawValue(c.type), c.raw);
    EXPECT_EQ(getLocalize(c.type), c.display);
    EXPECT_EQ(fromRawValue<DT>(c.raw), c.type);
  }
  for (const char* text : {"Driver License", "Proof of Address", "Id Card", "passport", ""}) {
    EXPECT_EQ(fromRawValue<DT>(text), std::nullopt) << text;
  }
}

TEST(ZTPublicConstantsEnumerations, DocumentStatusWireAndDisplayTexts) {
  using ST = ZTPublicConstants::DocumentStatusType;
  const struct {
    ST status;
    const char* raw;
    const char* display;
  } cases[] = {{ST::Draft, "Draft", "Draft"},
               {ST::Recognition, "Recognition", "Recognizing"},
               {ST::NotReadable, "NotReadable", "Not readable"},
               {ST::NotVerified, "NotVerified", "Not verified"},
               {ST::Verified, "Verified", "Verified"},
               {ST::PendingReview, "PendingReview", "Pending review"}};
  for (const auto& c : cases) {
    EXPECT_EQ(rawValue(c.status), c.raw);
    EXPECT_EQ(getLocalize(c.status), c.display);
    EXPECT_EQ(fromRawValue<ST>(c.raw), c.status);
  }
  for (const char* text : {"verified", "Recognizing", "Not readable", "Pending review", ""}) {
    EXPECT_EQ(fromRawValue<ST>(text), std::nullopt) << text;
  }
}
