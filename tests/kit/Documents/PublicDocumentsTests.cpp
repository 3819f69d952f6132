// The host-facing documents reads of the API server.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "DocumentsSupport.hpp"
#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"
#include "ZTAPI/ZTPublicAPIDocuments.hpp"

namespace {

using namespace ZentrelSDK;
using docstest::DocumentsTest;
using docstest::kApp;
using docstest::kUser;
using idtest::Reply;
using sandbox::Fault;
using List = std::vector<std::optional<ZTPublicDocumentElement>>;

class PublicDocuments : public DocumentsTest {
 protected:
  void SetUp() override {
    DocumentsTest::SetUp();
    access = sb().grant(kUser, kApp);
    ZTTokenUtilites::shared()->saveOAuthToken(access);
  }
  static Reply<Foundation::Data, ZTOAuthError> download(const std::string& url) {
    Reply<Foundation::Data, ZTOAuthError> reply;
    ZTPublicAPIDocuments::download(url, reply.success(), reply.error());
    return reply;
  }
  std::string access;
};

TEST_F(PublicDocuments, RequestHasNoRuleOfItsOwnFor204) {
  sb().inject("api.documents", Fault::answer(204));
  Reply<List, ZTOAuthError> reply;
  ZTPublicAPIDocuments::request<List>(true, "/documents", reply.success(), reply.error());
  ASSERT_TRUE(reply.wait());
  EXPECT_EQ(reply.failure().code, 204);
}

TEST_F(PublicDocuments, DownloadHandsOnBytesOrTheReadableError) {
  sb().putFile("scan.jpg", docstest::jpegBytes(5000));
  sb().putFile("empty.bin", "");
  const std::string base = "https://api.zentrel.com/v1/files/";
  struct Row {
    std::string name;
    std::optional<Fault> fault;
    std::optional<std::string> bytes;  // none: failure
    ZTOAuthError error;
  };
  const std::vector<Row> rows = {
      {"scan.jpg", std::nullopt, docstest::jpegBytes(5000), {}},
      {"empty.bin", std::nullopt, std::string(), {}},
      {"none.jpg", std::nullopt, std::nullopt, ZTOAuthError(404, "no such file")},
      {"scan.jpg", Fault::answer(401, "expired"), std::nullopt, ZTOAuthError(401, "unauthorized")},
      {"scan.jpg", Fault::drop().repeat(0), std::nullopt,
       ZTOAuthError(1, "The network connection was lost.")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    sb().clearFaults();
    if (row.fault) sb().inject("api.files", *row.fault);
    auto reply = download(base + row.name);
    ASSERT_TRUE(reply.wait());
    ASSERT_TRUE(reply.answeredOnce());
    if (row.bytes) {
      ASSERT_TRUE(reply.succeeded()) << reply.failure().message.value_or("");
      EXPECT_EQ(Foundation::stringFromBytes(reply.value()), *row.bytes);
    } else {
      ASSERT_TRUE(reply.failed());
      EXPECT_EQ(reply.failure().code, row.error.code);
      if (row.error.code != 404) {
        EXPECT_EQ(reply.failure(), row.error);
      }
    }
  }
  // A 401 of a download clears nothing.
  EXPECT_EQ(ZTTokenUtilites::shared()->getOAuthToken(), access);
  EXPECT_EQ(ZTTokenUtilites::shared()->getToken(), session);
}

TEST_F(PublicDocuments, DownloadRefusesAtOnceWithoutATokenOrHttps) {
  struct Row {
    std::string url;
    bool withToken;
    ZTOAuthError error;
  };
  const std::vector<Row> rows = {
      {"https://api.zentrel.com/v1/files/a", false, ZTOAuthError(0, "unauthorized")},
      {"http://api.zentrel.com/v1/files/a", true, ZTOAuthError(0, "wrong url")},
      {"file:///etc/hostname", true, ZTOAuthError(0, "wrong url")},
      {"not a url", true, ZTOAuthError(0, "wrong url")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.url);
    if (row.withToken) {
      ZTTokenUtilites::shared()->saveOAuthToken(access);
    } else {
      ZTTokenUtilites::shared()->clearOAuthToken();
    }
    auto reply = download(row.url);
    ASSERT_TRUE(reply.failed()) << "not reported at once";
    EXPECT_TRUE(reply.answeredOnce());
    EXPECT_EQ(reply.failure(), row.error);
  }
  EXPECT_TRUE(sb().requests().empty());
}

}  // namespace
