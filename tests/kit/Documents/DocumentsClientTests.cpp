// The identity server's documents client against the sandbox, with injected faults.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <Foundation/Bundle.hpp>

#include "DocumentsSupport.hpp"
#include "ZTAPI/ZTPrivateAPIDocuments.hpp"
#include "ZTLogger.hpp"

namespace {

using namespace ZentrelSDK;
using docstest::DocumentsTest;
using docstest::kUser;
using idtest::Reply;
using idtest::ResultReply;
using sandbox::DocumentStatus;
using sandbox::DocumentType;
using sandbox::Fault;
using Status = ZTPublicConstants::DocumentStatusType;
using Side = ZTPrivateAPIDocuments::DocumentSide;

class DocumentsClient : public DocumentsTest {
 public:
  std::string draft(std::optional<std::string> front = docstest::jpegBytes(64)) {
    return sb().addDocument(kUser, DocumentType::Passport, DocumentStatus::Draft, front);
  }
};

// What one call ended with: the success text or the error text.
struct Ending {
  bool succeeded;
  std::string text;
};

template <class S>
Ending endingOf(Reply<S, std::string>& reply, const std::function<std::string(const S&)>& show) {
  EXPECT_TRUE(reply.wait());
  EXPECT_TRUE(reply.answeredOnce());
  if (reply.succeeded()) return {true, show(reply.value())};
  return {false, reply.failed() ? reply.failure() : "<none>"};
}

TEST_F(DocumentsClient, ConfirmAnswersEachStatusWithItsText) {
  struct Row {
    const char* name;
    std::function<std::string(DocumentsClient&)> document;
    Ending expected;
  };
  const std::vector<Row> rows = {
      {"200", [](DocumentsClient& t) { return t.draft(); }, {true, "Recognition started"}},
      {"400",
       [](DocumentsClient& t) { return t.draft(std::nullopt); },
       {false, "Document has no images"}},
      {"409",
       [](DocumentsClient&) {
         return sb().addDocument(kUser, DocumentType::Passport, DocumentStatus::Recognition,
                                 docstest::jpegBytes(64));
       },
       {false, "Not pending status"}},
      {"401",
       [](DocumentsClient& t) {
         const auto id = t.draft();
         sb().expireSessions();
         return id;
       },
       {false, idtest::kGenericText}},
      {"404",
       [](DocumentsClient&) { return std::string("no-such-document"); },
       {false, idtest::kGenericText}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    sb().reset();
    ZTTokenUtilites::shared()->saveToken(sb().signIn(kUser), false);
    Reply<std::string, std::string> reply;
    ZTPrivateAPIDocuments::confirmDocumentUpload(row.document(*this), reply.success(),
                                                 reply.error());
    const auto ending = endingOf<std::string>(reply, [](const std::string& s) { return s; });
    EXPECT_EQ(ending.succeeded, row.expected.succeeded);
    EXPECT_EQ(ending.text, row.expected.text);
    EXPECT_EQ(sb().requests("documents.confirm").back().status, std::stoi(row.name));
  }
}

TEST_F(DocumentsClient, UploadsAnswerEachStatusWithItsText) {
  using Upload = std::function<void(DocumentsClient&, Reply<std::string, std::string>&)>;
  const auto side = [](bool front) -> Upload {
    return [front](DocumentsClient& t, Reply<std::string, std::string>& reply) {
      auto success = reply.success();
      const auto report = [success](ZTDocumentUploadResponse answer) { success(answer.message); };
      (front ? ZTPrivateAPIDocuments::uploadDocumentFileFront
             : ZTPrivateAPIDocuments::uploadDocumentFileBack)(t.draft(), t.jpeg(), report, nullptr,
                                                              reply.error());
    };
  };
  const Upload check = [](DocumentsClient& t, Reply<std::string, std::string>& reply) {
    auto success = reply.success();
    ZTPrivateAPIDocuments::validateDocumentFile(
        t.jpeg(), [success] { success("checked"); }, nullptr, reply.error());
  };
  const Upload front = side(true), back = side(false);
  struct Row {
    const char* endpoint;
    const Upload& upload;
    std::optional<Fault> fault;
    Ending expected;
  };
  const char* const invalid = "Invalid content or unknown format";
  const char* const undecodable = "cannot decode answer";
  const std::vector<Row> rows = {
      {"documents.upload.front", front, {}, {true, "front image stored"}},
      {"documents.upload.back", back, {}, {true, "back image stored"}},
      {"documents.check", check, {}, {true, "checked"}},
      {"documents.upload.front", front, Fault::answer(422, "invalid image"), {false, invalid}},
      {"documents.check", check, Fault::answer(422, "invalid image"), {false, invalid}},
      {"documents.upload.back", back, Fault::answer(401, "gone"), {false, "unauthorized"}},
      {"documents.check", check, Fault::answer(401, "gone"), {false, "unauthorized"}},
      {"documents.upload.front", front, Fault::answer(500, "disk full"), {false, "disk full"}},
      {"documents.upload.front",
       front,
       Fault::answer(500, "\xFF\xFE\xFD"),
       {false, "some wrong data"}},
      {"documents.upload.back", back, Fault::emptyBody(), {false, "loaded data is empty"}},
      {"documents.upload.front", front, Fault::notJson(), {false, undecodable}},
      {"documents.upload.front",
       front,
       Fault::json(200, R"({"success":true})"),
       {false, undecodable}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.endpoint) + " " + row.expected.text);
    sb().clearFaults();
    if (row.fault) sb().inject(row.endpoint, *row.fault);
    Reply<std::string, std::string> reply;
    row.upload(*this, reply);
    const auto ending = endingOf<std::string>(reply, [](const std::string& s) { return s; });
    EXPECT_EQ(ending.succeeded, row.expected.succeeded);
    EXPECT_EQ(ending.text, row.expected.text);
  }
}

TEST_F(DocumentsClient, ImageDownloadReportsBytesStatusOrEmptiness) {
  const std::string front = docstest::jpegBytes(3000);
  const auto id = sb().addDocument(kUser, DocumentType::IdCard, DocumentStatus::Verified, front);
  struct Row {
    Side side;
    std::optional<Fault> fault;
    std::optional<std::string> bytes;  // none: failure
    std::string error;
  };
  const std::vector<Row> rows = {
      {Side::front, std::nullopt, front, ""},
      {Side::back, std::nullopt, std::nullopt, "answer has not status code = 200 (404)"},
      {Side::front, Fault::emptyBody(), std::nullopt, "loaded data is empty"},
      {Side::front, Fault::drop().repeat(0), std::nullopt, "The network connection was lost."},
  };
  for (const auto& row : rows) {
    sb().clearFaults();
    if (row.fault) sb().inject("documents.file.front", *row.fault);
    ResultReply<Foundation::Data> reply;
    ZTPrivateAPIDocuments::getDocumentFile(id, row.side, reply.callback());
    ASSERT_TRUE(reply.wait());
    EXPECT_TRUE(reply.answeredOnce());
    if (row.bytes) {
      ASSERT_TRUE(reply.succeeded()) << reply.errorText();
      EXPECT_EQ(Foundation::stringFromBytes(reply.value()), *row.bytes);
    } else {
      EXPECT_NE(reply.errorText().find(row.error), std::string::npos) << reply.errorText();
    }
  }
}

TEST_F(DocumentsClient, ListSendsPagingThenEachStatusAndHandsOnItsItems) {
  const auto first = draft();
  const auto verified = sb().addDocument(kUser, DocumentType::ProofOfAddress,
                                         DocumentStatus::Verified, docstest::jpegBytes(64));
  struct Row {
    std::optional<ZTPrivateAPIDocuments::Statuses> filter;
    std::string query;
    std::vector<std::string> ids;
  };
  const std::vector<Row> rows = {
      {std::nullopt, "?limit=10&offset=0", {first, verified}},
      {ZTPrivateAPIDocuments::Statuses{}, "?limit=10&offset=0", {first, verified}},
      {ZTPrivateAPIDocuments::Statuses{Status::Verified},
       "?limit=10&offset=0&status=Verified",
       {verified}},
      {ZTPrivateAPIDocuments::Statuses{Status::Draft, Status::Verified},
       "?limit=10&offset=0&status=Draft&status=Verified",
       {first, verified}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.query);
    Reply<std::vector<DocumentItem>, std::string> reply;
    ZTPrivateAPIDocuments::getDocuments(10, 0, row.filter, reply.success(), reply.error());
    ASSERT_TRUE(reply.wait());
    ASSERT_TRUE(reply.succeeded()) << reply.failure();
    EXPECT_EQ(sb().requests("documents.list").back().target, "/api/v1.1/documents" + row.query);
    std::vector<std::string> ids;
    for (const auto& item : reply.value()) ids.push_back(item.id);
    EXPECT_EQ(ids, row.ids);
  }
}

TEST_F(DocumentsClient, UploadStatusIsAMapOfEveryDocumentOfThePage) {
  const auto withFront = draft();
  const auto bare = draft(std::nullopt);
  Reply<ZTDocumentStatusUploadedResponse, std::string> reply;
  ZTPrivateAPIDocuments::getDocumentsUploadStatus(10, 0, {Status::Draft}, reply.success(),
                                                  reply.error());
  ASSERT_TRUE(reply.wait());
  ASSERT_TRUE(reply.succeeded()) << reply.failure();
  EXPECT_EQ(sb().requests("documents.upload_status").back().target,
            "/api/v1.1/documents/status/upload?limit=10&offset=0&status=Draft");
  const auto& documents = reply.value().documents;
  ASSERT_EQ(documents.size(), 2u);
  EXPECT_EQ(documents.at(withFront).front.status, "Uploaded");
  EXPECT_EQ(documents.at(withFront).back.status, "Missing");
  EXPECT_EQ(documents.at(bare).front.status, "Missing");
}

TEST_F(DocumentsClient, NoIdIsRefusedBeforeSending) {
  // Refused at once, on the calling thread, by requests and transfers alike.
  const std::vector<std::function<void(const std::string&, Reply<bool, std::string>&)>> calls = {
      [](const std::string& id, Reply<bool, std::string>& r) {
        ZTPrivateAPIDocuments::getDocumentFromID(id, nullptr, r.error());
      },
      [this](const std::string& id, Reply<bool, std::string>& r) {
        ZTPrivateAPIDocuments::uploadDocumentFileBack(id, jpeg(), nullptr, nullptr, r.error());
      },
      [](const std::string& id, Reply<bool, std::string>& r) {
        auto error = r.error();
        ZTPrivateAPIDocuments::getDocumentFile(
            id, Side::back, [error](auto result) { error(result.error().localizedDescription()); });
      },
  };
  sb().clearLog();
  for (const std::string id : {"", ".", ".."}) {
    for (const auto& call : calls) {
      Reply<bool, std::string> reply;
      call(id, reply);
      ASSERT_TRUE(reply.failed()) << "id \"" << id << "\" was not refused at once";
      EXPECT_EQ(reply.failure(), "wrong url");
    }
  }
  EXPECT_TRUE(sb().requests().empty());
}

TEST_F(DocumentsClient, AMissingUploadFileFailsAtOnceAndSendsNothing) {
  const auto missing = Foundation::URL::fileURLWithPath(folder / "gone.jpg");
  Reply<ZTDocumentUploadResponse, std::string> front;
  ZTPrivateAPIDocuments::uploadDocumentFileFront(draft(), missing, front.success(), nullptr,
                                                 front.error());
  Reply<bool, std::string> checked;
  ZTPrivateAPIDocuments::validateDocumentFile(missing, nullptr, nullptr, checked.error());
  ASSERT_TRUE(front.failed());
  ASSERT_TRUE(checked.failed());
  EXPECT_NE(front.failure().find("gone.jpg"), std::string::npos) << front.failure();
  EXPECT_EQ(checked.failure(), front.failure());
  EXPECT_EQ(sb().count("documents.upload.front") + sb().count("documents.check"), 0u);
}

}  // namespace

namespace {

// The uploads' own log lines, as a host of the kit's maker sees them.
class UploadLog : public DocumentsClient {
 protected:
  void SetUp() override {
    DocumentsClient::SetUp();
    savedIdentifier = Foundation::Bundle::main()->bundleIdentifier();
    Foundation::Bundle::setMainBundleIdentifier("com.zentrel.ZentrelSDK.Example");
    ZTLogger::resetApplicationCheck();
    ZTLogger::setOutputStream(&out);
  }
  void TearDown() override {
    ZTLogger::setOutputStream(nullptr);
    Foundation::Bundle::setMainBundleIdentifier(savedIdentifier);
    ZTLogger::resetApplicationCheck();
    DocumentsClient::TearDown();
  }
  std::string uploadFrontAnswered(Fault fault) {
    sb().inject("documents.upload.front", std::move(fault));
    Reply<ZTDocumentUploadResponse, std::string> reply;
    ZTPrivateAPIDocuments::uploadDocumentFileFront(draft(), jpeg(), reply.success(), nullptr,
                                                   reply.error());
    EXPECT_TRUE(reply.wait());
    const std::string text = out.str();
    out.str("");
    return text;
  }
  std::ostringstream out;
  std::optional<std::string> savedIdentifier;
};

TEST_F(UploadLog, AnUnexpectedStatusIsLoggedAsAnUploadErrorAnd422IsNot) {
  const std::string logged = uploadFrontAnswered(Fault::answer(500, "disk full"));
  EXPECT_NE(logged.find("(func \"uploadDocumentFileFront(id:file:success:downloadProgress:"
                        "errorEvent:)\""),
            std::string::npos)
      << logged;
  EXPECT_NE(logged.find("---\nUPLOADING ERROR:\n disk full\n___"), std::string::npos) << logged;
  EXPECT_EQ(uploadFrontAnswered(Fault::answer(422, "invalid image")), "");
}

}  // namespace
