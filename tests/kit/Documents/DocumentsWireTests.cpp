// What the documents client puts on the wire, byte for byte, and how its transfers report
// progress.

#include <gtest/gtest.h>

#include <memory>
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

TEST_F(DocumentsWire, AChunkedAnswerMakesEveryProgressAFailureButKeepsAllBytes) {
  const std::string front = docstest::jpegBytes(300000);
  const auto id = sb().addDocument(kUser, sandbox::DocumentType::Passport,
                                   sandbox::DocumentStatus::Verified, front);
  sb().inject("documents.file.front", Fault::chunked());
  auto progress = std::make_shared<std::vector<std::string>>();
  ResultReply<Foundation::Data> downloaded;
  ZTPrivateAPIDocuments::getDocumentFile(
      id, Side::front, downloaded.callback(), [progress](Foundation::Result<double, Error> f) {
        progress->push_back(f.isSuccess() ? "fraction" : f.error().localizedDescription());
      });
  ASSERT_TRUE(downloaded.wait(30));
  ASSERT_TRUE(downloaded.succeeded()) << downloaded.errorText();
  EXPECT_EQ(Foundation::stringFromBytes(downloaded.value()), front);
  ASSERT_FALSE(progress->empty());
  for (const auto& p : *progress) EXPECT_EQ(p, "the content length can\u2019t be determined");
}

}  // namespace
