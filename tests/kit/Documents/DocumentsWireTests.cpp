// What the documents client puts on the wire, byte for byte, and how its transfers report
// progress.

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "DocumentsSupport.hpp"
#include "ZTAPI/ZTPrivateAPIDocuments.hpp"
#include "kit/Networking/NetworkingSupport.hpp"

namespace {

using namespace ZentrelSDK;
using docstest::DocumentsTest;
using docstest::kUser;
using idtest::Reply;
using idtest::ResultReply;
using sandbox::Fault;
using Side = ZTPrivateAPIDocuments::DocumentSide;

using DocumentsWire = DocumentsTest;

TEST_F(DocumentsWire, WithoutATokenTheBearerPrefixTravelsAlone) {
  ZTTokenUtilites::shared()->clearTokens();
  nettest::RawWire wire(sb());
  ZTPrivateAPIDocuments::getDocumentFromID("d1", nullptr, nullptr);
  EXPECT_EQ(wire.only().lines("Authorization"), std::vector<std::string>{"Authorization: Bearer "});
}

TEST_F(DocumentsWire, CreateSendsItsThreeKeysInOrderWithoutContentType) {
  nettest::RawWire wire(sb());
  ZTPrivateAPIDocuments::createDocument(ZTPublicConstants::DocumentType::IdCard,
                                        ZTPublicConstants::AreaType::Internal, "", nullptr,
                                        nullptr);
  const auto request = wire.only();
  EXPECT_EQ(request.requestLine, "POST /api/v1.1/documents HTTP/1.1");
  EXPECT_EQ(request.body, R"({"type":"IdCard","areaType":"Internal","description":""})");
  EXPECT_TRUE(request.lines("Content-Type").empty());
  EXPECT_EQ(request.lines("Authorization"),
            std::vector<std::string>{"Authorization: Bearer " + session});
}

TEST_F(DocumentsWire, ConfirmIsABodylessPostWithZeroLength) {
  nettest::RawWire wire(sb());
  ZTPrivateAPIDocuments::confirmDocumentUpload("d1", nullptr, nullptr);
  const auto request = wire.only();
  EXPECT_EQ(request.requestLine, "POST /api/v1.1/documents/d1/confirm HTTP/1.1");
  EXPECT_EQ(request.lines("Content-Length"), std::vector<std::string>{"Content-Length: 0"});
  EXPECT_TRUE(request.body.empty());
}

TEST_F(DocumentsWire, EachUploadIsTheFilePlusItsFramingUnderAFreshBoundary) {
  const std::size_t size = 20000;
  const auto file = jpeg(size);
  std::vector<std::string> boundaries;
  for (int i = 0; i < 2; ++i) {
    sb().clearLog();
    Reply<void, std::string> checked;
    ZTPrivateAPIDocuments::validateDocumentFile(file, checked.success(), nullptr, checked.error());
    ASSERT_TRUE(checked.wait());
    ASSERT_TRUE(checked.succeeded()) << checked.failure();
    const auto logged = sb().requests("documents.check").at(0);
    EXPECT_EQ(logged.header("Content-Length"), std::to_string(size + 178));
    ASSERT_EQ(logged.fields.size(), 1u);
    EXPECT_EQ(logged.fields[0].content, docstest::jpegBytes(size));
    std::smatch match;
    const std::string type = logged.header("Content-Type").value_or("");
    ASSERT_TRUE(std::regex_match(
        type, match,
        std::regex("multipart/form-data; boundary=([0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-"
                   "[0-9A-F]{12})")))
        << type;
    boundaries.push_back(match[1]);
  }
  EXPECT_NE(boundaries[0], boundaries[1]);
}

// Fractions must only rise and end at 1.0.
void expectRisingToOne(const std::vector<double>& fractions) {
  ASSERT_FALSE(fractions.empty());
  for (std::size_t i = 1; i < fractions.size(); ++i) EXPECT_LE(fractions[i - 1], fractions[i]);
  EXPECT_DOUBLE_EQ(fractions.back(), 1.0);
}

TEST_F(DocumentsWire, ProgressOfALargeUploadAndOfADownloadRisesToOne) {
  const auto id =
      sb().addDocument(kUser, sandbox::DocumentType::Passport, sandbox::DocumentStatus::Draft);
  std::vector<double> sent;
  Reply<ZTDocumentUploadResponse, std::string> uploaded;
  ZTPrivateAPIDocuments::uploadDocumentFileFront(
      id, jpeg(5u << 20), uploaded.success(), [&](double f) { sent.push_back(f); },
      uploaded.error());
  ASSERT_TRUE(uploaded.wait(60));
  ASSERT_TRUE(uploaded.succeeded()) << uploaded.failure();
  expectRisingToOne(sent);

  std::vector<double> received;
  ResultReply<Foundation::Data> downloaded;
  ZTPrivateAPIDocuments::getDocumentFile(id, Side::front, downloaded.callback(),
                                         [&](Foundation::Result<double, Error> f) {
                                           ASSERT_TRUE(f.isSuccess());
                                           received.push_back(f.value());
                                         });
  ASSERT_TRUE(downloaded.wait(60));
  ASSERT_TRUE(downloaded.succeeded()) << downloaded.errorText();
  EXPECT_EQ(downloaded.value().size(), 5u << 20);
  expectRisingToOne(received);
}

TEST_F(DocumentsWire, AChunkedAnswerMakesEveryProgressAFailureButKeepsAllBytes) {
  const std::string front = docstest::jpegBytes(300000);
  const auto id = sb().addDocument(kUser, sandbox::DocumentType::Passport,
                                   sandbox::DocumentStatus::Verified, front);
  sb().inject("documents.file.front", Fault::chunked());
  std::vector<std::string> progress;
  ResultReply<Foundation::Data> downloaded;
  ZTPrivateAPIDocuments::getDocumentFile(
      id, Side::front, downloaded.callback(), [&](Foundation::Result<double, Error> f) {
        progress.push_back(f.isSuccess() ? "fraction" : f.error().localizedDescription());
      });
  ASSERT_TRUE(downloaded.wait(30));
  ASSERT_TRUE(downloaded.succeeded()) << downloaded.errorText();
  EXPECT_EQ(Foundation::stringFromBytes(downloaded.value()), front);
  ASSERT_FALSE(progress.empty());
  for (const auto& p : progress) EXPECT_EQ(p, "the content length can\u2019t be determined");
}

}  // namespace
