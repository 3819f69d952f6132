// One new document from the file check to its verified status, through the kit's clients.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "DocumentsSupport.hpp"
#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"
#include "ZTAPI/ZTPrivateAPIDocuments.hpp"
#include "ZTAPI/ZTPublicAPIDocuments.hpp"

namespace {

using namespace ZentrelSDK;
using docstest::DocumentsTest;
using idtest::Reply;
using Status = ZTPublicConstants::DocumentStatusType;

using DocumentRoad = DocumentsTest;

TEST_F(DocumentRoad, CheckCreateUploadConfirmAndPollUntilVerified) {
  const auto front = file("front.jpg", docstest::jpegBytes(40000));
  const auto back = file("back.jpg", docstest::jpegBytes(30000));

  Reply<void, std::string> checked;
  ZTPrivateAPIDocuments::validateDocumentFile(front, checked.success(), nullptr, checked.error());
  ASSERT_TRUE(checked.wait());
  ASSERT_TRUE(checked.succeeded()) << checked.failure();

  Reply<ZTDocumentCreateResponse, std::string> created;
  ZTPrivateAPIDocuments::createDocument(ZTPublicConstants::DocumentType::Passport,
                                        ZTPublicConstants::AreaType::Internal, "",
                                        created.success(), created.error());
  ASSERT_TRUE(created.wait());
  ASSERT_TRUE(created.succeeded()) << created.failure();
  const std::string id = created.value().message;

  for (const auto side : {ZTConstants::ImageSide::front, ZTConstants::ImageSide::back}) {
    Reply<ZTDocumentUploadResponse, std::string> uploaded;
    (side == ZTConstants::ImageSide::front ? ZTPrivateAPIDocuments::uploadDocumentFileFront
                                           : ZTPrivateAPIDocuments::uploadDocumentFileBack)(
        id, side == ZTConstants::ImageSide::front ? front : back, uploaded.success(), nullptr,
        uploaded.error());
    ASSERT_TRUE(uploaded.wait());
    ASSERT_TRUE(uploaded.succeeded()) << uploaded.failure();
  }

  Reply<std::string, std::string> confirmed;
  ZTPrivateAPIDocuments::confirmDocumentUpload(id, confirmed.success(), confirmed.error());
  ASSERT_TRUE(confirmed.wait());
  ASSERT_EQ(confirmed.value(), "Recognition started");

  std::vector<Status> polled;
  while (polled.empty() || polled.back() != Status::Verified) {
    ASSERT_LT(polled.size(), 15u);
    Reply<ZTDocumentResponse, std::string> poll;
    ZTPrivateAPIDocuments::getDocumentFromID(id, poll.success(), poll.error());
    ASSERT_TRUE(poll.wait());
    ASSERT_TRUE(poll.succeeded()) << poll.failure();
    polled.push_back(poll.value().status);
  }
  EXPECT_EQ(polled,
            (std::vector<Status>{Status::Recognition, Status::Recognition, Status::Verified}));
  const auto stored = sb().document(id);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->back, docstest::jpegBytes(30000));

  Reply<std::vector<ZTDocumentStatusLogResponseElement>, std::string> log;
  ZTPrivateAPIDocuments::getDocumentStatusLog(id, log.success(), log.error());
  ASSERT_TRUE(log.wait());
  ASSERT_TRUE(log.succeeded()) << log.failure();
  ASSERT_FALSE(log.value().empty());
  EXPECT_EQ(log.value().back().status, "Verified");

  ZTTokenUtilites::shared()->saveOAuthToken(sb().grant(docstest::kUser, docstest::kApp));
  using List = std::vector<std::optional<ZTPublicDocumentElement>>;
  Reply<List, ZTOAuthError> listed;
  ZTPublicAPIDocuments::request<List>(true, ZTPublicConstants::getDocumentsEndpoint(),
                                      listed.success(), listed.error());
  ASSERT_TRUE(listed.wait());
  ASSERT_TRUE(listed.succeeded());
  ASSERT_EQ(listed.value().size(), 1u);
  EXPECT_EQ(listed.value()[0]->id, id);
  EXPECT_EQ(listed.value()[0]->status, Status::Verified);
}

}  // namespace
