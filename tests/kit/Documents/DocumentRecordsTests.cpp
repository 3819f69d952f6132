// Strict decoding of the document records, through the clients, with answers the sandbox is
// made to send.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "DocumentsSupport.hpp"
#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"
#include "ZTAPI/ZTPrivateAPIDocuments.hpp"
#include "ZTAPI/ZTPublicAPIDocuments.hpp"

namespace {

using namespace ZentrelSDK;
using docstest::DocumentsTest;
using docstest::kUser;
using idtest::Reply;
using nlohmann::json;
using sandbox::Fault;

class DocumentRecords : public DocumentsTest {
 protected:
  void SetUp() override {
    DocumentsTest::SetUp();
    id = sb().addDocument(kUser, sandbox::DocumentType::Passport, sandbox::DocumentStatus::Verified,
                          docstest::jpegBytes(64));
  }
  // The document as the kit decodes the sandbox's real answer.
  ZTDocumentResponse realDocument() {
    Reply<ZTDocumentResponse, std::string> reply;
    ZTPrivateAPIDocuments::getDocumentFromID(id, reply.success(), reply.error());
    EXPECT_TRUE(reply.wait());
    EXPECT_TRUE(reply.succeeded());
    return reply.succeeded() ? reply.value() : ZTDocumentResponse{};
  }
  Reply<ZTDocumentResponse, std::string> documentFrom(const json& answer) {
    sb().inject("documents.get", Fault::json(200, answer.dump()));
    Reply<ZTDocumentResponse, std::string> reply;
    ZTPrivateAPIDocuments::getDocumentFromID(id, reply.success(), reply.error());
    EXPECT_TRUE(reply.wait());
    EXPECT_TRUE(reply.answeredOnce());
    return reply;
  }
  std::string id;
};

// snake_case as the server writes it; camelCase as the record encodes itself.
json snakeCased(const json& camel) {
  json out = json::object();
  for (const auto& [key, value] : camel.items()) {
    std::string snake;
    for (char c : key) {
      if (std::isupper(static_cast<unsigned char>(c))) {
        snake += '_';
        snake += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      } else {
        snake += c;
      }
    }
    out[snake] = value;
  }
  return out;
}

TEST_F(DocumentRecords, ADetailDecodesFromEitherKeyFormAndKnownTextsOnly) {
  const json camel = realDocument();
  ASSERT_EQ(camel.at("id"), id);
  struct Row {
    const char* name;
    json answer;
    bool decodes;
  };
  auto with = [&](const char* key, json value) {
    json changed = snakeCased(camel);
    changed[key] = std::move(value);
    return changed;
  };
  const std::vector<Row> rows = {
      {"camelCase keys", camel, true},
      {"null back image id", with("back_image_id", nullptr), false},
      {"lower-case status", with("status", "verified"), false},
      {"unknown type", with("document_type", "Visa"), false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto reply = documentFrom(row.answer);
    ASSERT_EQ(reply.succeeded(), row.decodes) << (reply.failed() ? reply.failure() : "");
    if (!row.decodes) {
      EXPECT_EQ(reply.failure(), "cannot decode answer");
    }
  }
  EXPECT_EQ(json(documentFrom(camel).value()), camel);
}

TEST_F(DocumentRecords, OneBadItemFailsTheWholePage) {
  Reply<std::vector<DocumentItem>, std::string> real;
  ZTPrivateAPIDocuments::getDocuments(10, 0, std::nullopt, real.success(), real.error());
  ASSERT_TRUE(real.wait());
  ASSERT_TRUE(real.succeeded()) << real.failure();
  ASSERT_EQ(real.value().size(), 1u);
  const json item = snakeCased(json(real.value().front()));

  struct Row {
    const char* name;
    json page;
    std::optional<std::size_t> items;  // none: the page fails
  };
  json badArea = item;
  badArea["area_type"] = "External";
  json wordGender = item;
  wordGender["gender"] = "female";
  const std::vector<Row> rows = {
      {"two good items", {{"total", 2}, {"items", {item, item}}}, 2},
      {"empty page", {{"total", 0}, {"items", json::array()}}, 0},
      {"no total", {{"items", json::array()}}, std::nullopt},
      {"bad area", {{"total", 2}, {"items", {item, badArea}}}, std::nullopt},
      {"gender as a word", {{"total", 2}, {"items", {wordGender, item}}}, std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    sb().inject("documents.list", Fault::json(200, row.page.dump()));
    Reply<std::vector<DocumentItem>, std::string> reply;
    ZTPrivateAPIDocuments::getDocuments(10, 0, std::nullopt, reply.success(), reply.error());
    ASSERT_TRUE(reply.wait());
    if (row.items) {
      ASSERT_TRUE(reply.succeeded()) << reply.failure();
      EXPECT_EQ(reply.value().size(), *row.items);
    } else {
      EXPECT_EQ(reply.failure(), "cannot decode answer");
    }
  }
}

TEST_F(DocumentRecords, OperationAnswersAreHandedOnAsTheyCame) {
  struct Row {
    const char* name;
    std::string answer;
    std::optional<std::string> message;  // none: fails
  };
  const std::vector<Row> rows = {
      {"success false is handed on", R"({"success":false,"message":"kept"})", "kept"},
      {"success as 1", R"({"success":1,"message":"m"})", std::nullopt},
      {"null message", R"({"success":true,"message":null})", std::nullopt},
      {"no message", R"({"success":true})", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    sb().inject("documents.create", Fault::json(200, row.answer));
    Reply<ZTDocumentCreateResponse, std::string> reply;
    ZTPrivateAPIDocuments::createDocument(ZTPublicConstants::DocumentType::Passport,
                                          ZTPublicConstants::AreaType::Internal, "",
                                          reply.success(), reply.error());
    ASSERT_TRUE(reply.wait());
    if (row.message) {
      ASSERT_TRUE(reply.succeeded()) << reply.failure();
      EXPECT_EQ(reply.value().message, *row.message);
    } else {
      EXPECT_EQ(reply.failure(), "cannot decode answer");
    }
  }
}

TEST_F(DocumentRecords, TheStatusLogKeepsFreeTextAndFailsAsAWhole) {
  struct Row {
    std::string answer;
    std::optional<std::vector<std::string>> statuses;  // none: fails
  };
  const std::vector<Row> rows = {
      {"[]", std::vector<std::string>{}},
      {R"([{"reviewer":"r","status":"Archived","created_at":1,"message":""},)"
       R"({"reviewer":"r","status":"Draft","createdAt":2,"message":""}])",
       std::vector<std::string>{"Archived", "Draft"}},
      {R"({"reviewer":"r","status":"Draft","created_at":1,"message":""})", std::nullopt},
      {R"([{"reviewer":"r","status":"Draft","created_at":1,"message":""},)"
       R"({"reviewer":"r","status":"Draft","created_at":"2","message":""}])",
       std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.answer);
    sb().inject("documents.log", Fault::json(200, row.answer));
    Reply<std::vector<ZTDocumentStatusLogResponseElement>, std::string> reply;
    ZTPrivateAPIDocuments::getDocumentStatusLog(id, reply.success(), reply.error());
    ASSERT_TRUE(reply.wait());
    if (!row.statuses) {
      EXPECT_EQ(reply.failure(), "cannot decode answer");
      continue;
    }
    ASSERT_TRUE(reply.succeeded()) << reply.failure();
    std::vector<std::string> statuses;
    for (const auto& entry : reply.value()) statuses.push_back(entry.status);
    EXPECT_EQ(statuses, *row.statuses);
  }
}

TEST_F(DocumentRecords, UploadStatusNeedsBothSidesOfEveryDocument) {
  const std::vector<std::pair<std::string, bool>> rows = {
      {R"({"any-id":{"front":{"status":"Uploaded","message":""},"back":{"status":"Missing","message":""}}})",
       true},
      {R"({})", true},
      {R"({"any-id":{"front":{"status":"Uploaded","message":""}}})", false},
      {R"({"any-id":{"front":{"status":"Uploaded","message":""},"back":{"status":"Missing"}}})",
       false},
  };
  for (const auto& [answer, decodes] : rows) {
    SCOPED_TRACE(answer);
    sb().inject("documents.upload_status", Fault::json(200, answer));
    Reply<ZTDocumentStatusUploadedResponse, std::string> reply;
    ZTPrivateAPIDocuments::getDocumentsUploadStatus(10, 0, {}, reply.success(), reply.error());
    ASSERT_TRUE(reply.wait());
    EXPECT_EQ(reply.succeeded(), decodes) << (reply.failed() ? reply.failure() : "");
  }
}

TEST_F(DocumentRecords, PublicListsTakeKnownTextsAndEmptySlots) {
  ZTTokenUtilites::shared()->saveOAuthToken(sb().grant(kUser, docstest::kApp));
  using List = std::vector<std::optional<ZTPublicDocumentElement>>;
  const std::vector<std::pair<std::string, std::optional<std::size_t>>> lists = {
      {R"([{"id":"1","createdAt":1,"status":"Verified","documentType":"Passport"},null])", 2},
      {R"([{"id":"1","created_at":1,"status":"verified","document_type":"Passport"}])",
       std::nullopt},
      {R"([{"id":"1","status":"Verified","document_type":"Passport"},null])", std::nullopt},
  };
  for (const auto& [answer, size] : lists) {
    SCOPED_TRACE(answer);
    sb().inject("api.documents", Fault::json(200, answer));
    Reply<List, ZTOAuthError> reply;
    ZTPublicAPIDocuments::request<List>(true, "/documents", reply.success(), reply.error());
    ASSERT_TRUE(reply.wait());
    if (size) {
      ASSERT_TRUE(reply.succeeded());
      EXPECT_EQ(reply.value().size(), *size);
      EXPECT_EQ(reply.value().front()->status, ZTPublicConstants::DocumentStatusType::Verified);
    } else {
      EXPECT_EQ(reply.failure().code, 0);
    }
  }
}

}  // namespace
