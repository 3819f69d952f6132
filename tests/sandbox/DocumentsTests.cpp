// Identity server documents, recognition scripts and the required types.
#include "SandboxFixture.hpp"

namespace sbtest {
namespace {

const std::string kJpeg = std::string("\xFF\xD8\xFF\xE0", 4) + std::string(1000, 'j');

class DocumentsTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    bearer = sb().signIn("user1@example.com");
  }
  std::string create(const std::string& type = "Passport") {
    const auto r =
        idPost("/documents", R"({"type":")" + type + R"(","areaType":"Internal","description":""})",
               bearer);
    EXPECT_EQ(r.status, 200) << r.body;
    EXPECT_EQ(r.json()["success"], true);
    return r.json().value("message", "");
  }
  t::Response upload(const std::string& target, const std::string& bytes) {
    return t::postFile(sb(), "id.zentrel.com", "/api/v1.1" + target, bytes, bearer);
  }
  t::Response confirm(const std::string& doc) {
    t::Request r;
    r.method = "POST";
    r.target = "/api/v1.1/documents/" + doc + "/confirm";
    r.headers = {{"Authorization", "Bearer " + bearer}};
    r.body = "";  // Content-Length: 0
    return t::send(sb(), r);
  }
  std::string bearer;
};

TEST_F(DocumentsTest, CreateUploadConfirmAndRecognition) {
  EXPECT_EQ(upload("/documents/file/check", kJpeg).status, 200);
  EXPECT_EQ(upload("/documents/file/check", "not a jpeg").status, 422);

  const std::string doc = create();
  EXPECT_EQ(doc.size(), 36u);
  EXPECT_EQ(confirm(doc).status, 400);  // no front image yet
  const auto front = upload("/documents/" + doc + "/front", kJpeg);
  ASSERT_EQ(front.status, 200);
  EXPECT_EQ(front.json(), (nlohmann::json{{"success", true}, {"message", "front image stored"}}));
  const auto logged = sb().requests("documents.upload.front").at(0);
  ASSERT_EQ(logged.fields.size(), 1u);
  EXPECT_EQ(logged.fields[0].name, "file");
  EXPECT_EQ(logged.fields[0].filename, "file.jpg");
  EXPECT_EQ(logged.fields[0].contentType, "image/jpeg");
  EXPECT_EQ(logged.fields[0].content, kJpeg);
  EXPECT_EQ(logged.bodySize, kJpeg.size() + 178);
  EXPECT_TRUE(logged.body.empty());

  const auto confirmed = confirm(doc);
  ASSERT_EQ(confirmed.status, 200);
  EXPECT_EQ(confirmed.json()["message"], "Recognition started");
  EXPECT_EQ(confirm(doc).status, 409);
  EXPECT_EQ(upload("/documents/" + doc + "/back", kJpeg).status, 409);

  // The default script: the third poll sees Verified; lists never advance it.
  EXPECT_EQ(id("/documents?limit=10&offset=0", bearer).json()["items"][0]["status"], "Recognition");
  EXPECT_EQ(id("/documents/" + doc, bearer).json()["status"], "Recognition");
  EXPECT_EQ(id("/documents/" + doc, bearer).json()["status"], "Recognition");
  const auto done = id("/documents/" + doc, bearer).json();
  EXPECT_EQ(done["status"], "Verified");
  EXPECT_EQ(done.size(), 21u);
  EXPECT_EQ(done["first_name"], "Test");
  EXPECT_EQ(done["image_hash"], t::sha256Hex(kJpeg));
  EXPECT_EQ(done["back_image_id"], "");
  EXPECT_EQ(id("/documents/" + doc, bearer).json()["status"], "Verified");

  const auto list = id("/documents?limit=10&offset=0", bearer).json();
  EXPECT_EQ(list["total"], 1);
  ASSERT_EQ(list["items"].size(), 1u);
  EXPECT_EQ(list["items"][0].size(), 24u);
  EXPECT_EQ(list["items"][0]["area_type"], "Internal");
  EXPECT_TRUE(list["items"][0]["gender"].is_number_integer());

  const auto file = id("/documents/" + doc + "/front/file", bearer);
  EXPECT_EQ(file.status, 200);
  EXPECT_EQ(file.body, kJpeg);
  EXPECT_EQ(file.header("Content-Type"), "image/jpeg");
  EXPECT_EQ(file.header("Content-Length"), std::to_string(kJpeg.size()));
  const auto back = id("/documents/" + doc + "/back/file", bearer);
  EXPECT_EQ(back.status, 404);
  EXPECT_EQ(back.body, "no back image");

  const auto log = id("/documents/" + doc + "/status/log", bearer).json();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0]["status"], "Draft");
  EXPECT_EQ(log[1]["message"], "Recognition started");
  EXPECT_EQ(log[2]["message"], "Recognition finished");

  const auto uploads = id("/documents/status/upload", bearer).json();
  EXPECT_EQ(uploads[doc]["front"]["status"], "Uploaded");
  EXPECT_EQ(uploads[doc]["back"]["status"], "Missing");

  const std::string token = sb().grant("user1@example.com", "sandbox-app");
  const auto apiDocs = api("/documents", token).json();
  ASSERT_EQ(apiDocs.size(), 1u);
  EXPECT_EQ(apiDocs[0]["status"], "Verified");
  EXPECT_EQ(apiDocs[0]["document_type"], "Passport");
}

TEST_F(DocumentsTest, ScriptsByIdTypeAndDefault) {
  sb().setRecognition({sandbox::DocumentStatus::NotReadable});
  sb().setRecognition(sandbox::DocumentType::IdCard, {sandbox::DocumentStatus::PendingReview});
  const std::string a = create("Passport"), b = create("IdCard"), c = create("IdCard");
  sb().setRecognitionFor(c, {sandbox::DocumentStatus::Recognition});
  for (const auto& doc : {a, b, c}) {
    ASSERT_EQ(upload("/documents/" + doc + "/front", kJpeg).status, 200);
    ASSERT_EQ(confirm(doc).status, 200);
  }
  EXPECT_EQ(id("/documents/" + a, bearer).json()["status"], "NotReadable");
  EXPECT_EQ(id("/documents/" + a, bearer).json()["first_name"], "");
  EXPECT_EQ(id("/documents/" + b, bearer).json()["status"], "PendingReview");
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(id("/documents/" + c, bearer).json()["status"], "Recognition");
  sb().setDocumentStatus(b, sandbox::DocumentStatus::Verified);
  EXPECT_EQ(id("/documents/" + b, bearer).json()["status"], "Verified");

  const auto verified = id("/documents?status=Verified&status=NotReadable", bearer).json();
  EXPECT_EQ(verified["total"], 2);
  EXPECT_EQ(id("/documents?status=Bogus", bearer).status, 400);
  EXPECT_EQ(id("/documents?limit=-1", bearer).status, 400);
  const auto paged = id("/documents?limit=1&offset=1", bearer).json();
  EXPECT_EQ(paged["total"], 3);
  ASSERT_EQ(paged["items"].size(), 1u);
  EXPECT_EQ(paged["items"][0]["id"], b);
}

TEST_F(DocumentsTest, ChecksOwnershipSessionAndBodies) {
  const std::string doc = create();
  const std::string other = sb().signIn("sms.user@example.com");
  const auto foreign = id("/documents/" + doc, other);
  EXPECT_EQ(foreign.status, 404);
  EXPECT_EQ(foreign.body, "document not found");
  EXPECT_EQ(id("/documents/" + doc).status, 401);
  EXPECT_EQ(
      idPost("/documents", R"({"type":"Visa","areaType":"Internal","description":""})", bearer)
          .status,
      400);
  EXPECT_EQ(
      idPost("/documents", R"({"type":"Passport","areaType":"External","description":""})", bearer)
          .status,
      400);
  EXPECT_EQ(idPost("/documents", R"({"type":"Passport","areaType":"Internal"})", bearer).status,
            400);
  EXPECT_EQ(upload("/documents/nope/front", kJpeg).status, 404);
}

TEST_F(DocumentsTest, OversizedUploadsAre413) {
  sandbox::Sandbox::Options options;
  options.maxUploadBytes = 1000;
  options.rawListener = false;
  sandbox::Sandbox small(options);
  const auto r = t::postFile(small, "id.zentrel.com", "/api/v1.1/documents/file/check", kJpeg,
                             small.signIn("user1@example.com"));
  EXPECT_EQ(r.status, 413);
  EXPECT_EQ(r.body, "file too large");
}

TEST_F(DocumentsTest, SeededDocumentsAndRequiredTypes) {
  const std::string id1 = sb().addDocument(
      "user1@example.com", sandbox::DocumentType::ProofOfAddress, sandbox::DocumentStatus::Verified,
      kJpeg, std::nullopt, "f1f80c7a-57c7-4259-8e80-d1bb09932e82");
  EXPECT_EQ(id1, "f1f80c7a-57c7-4259-8e80-d1bb09932e82");
  const auto d = id("/documents/" + id1, bearer).json();
  EXPECT_EQ(d["status"], "Verified");
  EXPECT_NE(d["address"], "");
  EXPECT_EQ(id("/documents/" + id1 + "/front/file", bearer).body, kJpeg);
  ASSERT_EQ(sb().documents("user1@example.com").size(), 1u);

  const auto required = id("/apps/sandbox-app/documents/required", bearer);
  EXPECT_EQ(required.json(), (nlohmann::json{"Passport", "ProofOfAddress"}));
  EXPECT_EQ(id("/apps/unknown/documents/required", bearer).status, 404);
  EXPECT_EQ(id("/apps/sandbox-app/documents/required").status, 401);
  sandbox::AppSeed none;
  none.clientId = "none-app";
  sb().addApp(none);
  EXPECT_EQ(id("/apps/none-app/documents/required", bearer).body, "null");
  none.requiredDocuments = std::vector<sandbox::DocumentType>{};
  sb().addApp(none);
  EXPECT_EQ(id("/apps/none-app/documents/required", bearer).body, "[]");
}

}  // namespace
}  // namespace sbtest
