// Identity server, documents, recognition and the app's required types.
#include "Impl.hpp"

#include <algorithm>

namespace sandbox::detail {
namespace {

json documentJson(const Document& d, bool listItem) {
  auto side = [](const std::optional<Image>& image, const char* what) -> std::string {
    if (!image) return "";
    if (std::string_view(what) == "id") return image->id;
    if (std::string_view(what) == "hash") return image->hash;
    return image->mime;
  };
  json j = {{"id", d.id},
            {"created_at", d.createdAt},
            {"status", rawValue(d.status)},
            {"document_type", rawValue(d.type)},
            {"description", d.description},
            {"image_id", side(d.front, "id")},
            {"image_hash", side(d.front, "hash")},
            {"mime_type", side(d.front, "mime")},
            {"back_image_id", side(d.back, "id")},
            {"back_image_hash", side(d.back, "hash")},
            {"back_mime_type", side(d.back, "mime")},
            {"first_name", d.firstName},
            {"last_name", d.lastName},
            {"number", d.number},
            {"date_of_birth", d.dateOfBirth},
            {"date_of_issue", d.dateOfIssue},
            {"date_of_expiry", d.dateOfExpiry},
            {"issuing_country", d.issuingCountry},
            {"issuing_authority", d.issuingAuthority},
            {"issuing_place", d.issuingPlace},
            {"address", d.address}};
  if (listItem) {
    j["area_type"] = d.areaType;
    j["nationality"] = d.nationality;
    j["gender"] = d.gender;
  }
  return j;
}

// Checks the session; on failure answers 401 and returns null. Caller holds state.mu.
const Session* requireSession(Sandbox::Impl& sb, Ctx& c) {
  const Session* s = sb.state.liveSession(c.bearer);
  if (s == nullptr) text(c, 401, "unauthorized");
  return s;
}

// The session user's document named by the first path parameter; answers 404 when none.
Document* ownDocument(Sandbox::Impl& sb, Ctx& c, const Session& s) {
  Document* d = sb.state.findDocument(c.params.at(0));
  if (d == nullptr || d->ownerId != s.userId) {
    text(c, 404, "document not found");
    return nullptr;
  }
  return d;
}

// Paging and status filter of the list and upload-status endpoints; answers 400 and returns false
// on a bad query. Caller holds state.mu.
bool page(Sandbox::Impl& sb, Ctx& c, const Session& s, std::size_t& total,
          std::vector<const Document*>& out) {
  long long limit = 10, offset = 0;
  if (auto v = first(c.query, "limit")) {
    const auto n = parseInteger(*v);
    if (!n || *n < 0) return text(c, 400, "invalid limit"), false;
    limit = *n;
  }
  if (auto v = first(c.query, "offset")) {
    const auto n = parseInteger(*v);
    if (!n || *n < 0) return text(c, 400, "invalid offset"), false;
    offset = *n;
  }
  std::vector<DocumentStatus> statuses;
  for (const auto& [k, v] : c.query) {
    if (k != "status") continue;
    const auto st = documentStatusFrom(v);
    if (!st) return text(c, 400, "unknown status"), false;
    statuses.push_back(*st);
  }
  std::vector<const Document*> all;
  for (const auto& d : sb.state.documents) {
    if (d.ownerId != s.userId) continue;
    if (!statuses.empty() &&
        std::find(statuses.begin(), statuses.end(), d.status) == statuses.end())
      continue;
    all.push_back(&d);
  }
  total = all.size();
  for (std::size_t i = static_cast<std::size_t>(offset);
       i < all.size() && out.size() < static_cast<std::size_t>(limit); ++i) {
    out.push_back(all[i]);
  }
  return true;
}

void list(Sandbox::Impl& sb, Ctx& c) {
  std::lock_guard lock(sb.state.mu);
  const Session* s = requireSession(sb, c);
  if (s == nullptr) return;
  std::size_t total = 0;
  std::vector<const Document*> items;
  if (!page(sb, c, *s, total, items)) return;
  json arr = json::array();
  for (const Document* d : items) arr.push_back(documentJson(*d, true));
  jsonAnswer(c, 200, {{"total", total}, {"items", arr}});
}

void uploadStatus(Sandbox::Impl& sb, Ctx& c) {
  std::lock_guard lock(sb.state.mu);
  const Session* s = requireSession(sb, c);
  if (s == nullptr) return;
  std::size_t total = 0;
  std::vector<const Document*> items;
  if (!page(sb, c, *s, total, items)) return;
  json j = json::object();
  for (const Document* d : items) {
    j[d->id] = {{"front", {{"status", d->front ? "Uploaded" : "Missing"}, {"message", ""}}},
                {"back", {{"status", d->back ? "Uploaded" : "Missing"}, {"message", ""}}}};
  }
  jsonAnswer(c, 200, j);
}

void get(Sandbox::Impl& sb, Ctx& c) {
  std::lock_guard lock(sb.state.mu);
  const Session* s = requireSession(sb, c);
  if (s == nullptr) return;
  Document* d = ownDocument(sb, c, *s);
  if (d == nullptr) return;
  sb.state.advanceRecognition(*d);
  jsonAnswer(c, 200, documentJson(*d, false));
}

void file(Sandbox::Impl& sb, Ctx& c, bool front) {
  std::lock_guard lock(sb.state.mu);
  const Session* s = requireSession(sb, c);
  if (s == nullptr) return;
  Document* d = ownDocument(sb, c, *s);
  if (d == nullptr) return;
  const std::optional<Image>& image = front ? d->front : d->back;
  if (!image) return text(c, 404, front ? "no front image" : "no back image");
  c.res.status = 200;
  c.res.set_content(image->bytes, image->mime);
}

void statusLog(Sandbox::Impl& sb, Ctx& c) {
  std::lock_guard lock(sb.state.mu);
  const Session* s = requireSession(sb, c);
  if (s == nullptr) return;
  Document* d = ownDocument(sb, c, *s);
  if (d == nullptr) return;
  json arr = json::array();
  for (const auto& e : d->log) {
    arr.push_back({{"reviewer", "system"},
                   {"status", e.status},
                   {"created_at", e.createdAt},
                   {"message", e.message}});
  }
  jsonAnswer(c, 200, arr);
}

void create(Sandbox::Impl& sb, Ctx& c) {
  std::lock_guard lock(sb.state.mu);
  const Session* s = requireSession(sb, c);
  if (s == nullptr) return;
  const auto body = jsonObject(c);
  if (!body || !hasStrings(*body, {"type", "areaType", "description"}))
    return text(c, 400, "malformed body");
  const auto type = documentTypeFrom((*body)["type"].get<std::string>());
  if (!type) return text(c, 400, "unknown document type");
  if ((*body)["areaType"] != "Internal") return text(c, 400, "unknown area type");
  Document& d = sb.state.addDocument(s->userId, *type, DocumentStatus::Draft, std::nullopt);
  d.description = (*body)["description"];
  jsonAnswer(c, 200, {{"success", true}, {"message", d.id}});
}

// The checks of the file check: 413 too large, 422 no JPEG `file` field. Null after answering.
const httplib::MultipartFormData* checkedFile(Sandbox::Impl& sb, Ctx& c) {
  auto it = c.req.files.find("file");
  if (it != c.req.files.end() && it->second.content.size() > sb.options.maxUploadBytes) {
    text(c, 413, "file too large");
    return nullptr;
  }
  if (it == c.req.files.end() || it->second.content.size() < 3 ||
      it->second.content.compare(0, 3, "\xFF\xD8\xFF") != 0) {
    text(c, 422, "invalid image");
    return nullptr;
  }
  return &it->second;
}

void check(Sandbox::Impl& sb, Ctx& c) {
  {
    std::lock_guard lock(sb.state.mu);
    if (requireSession(sb, c) == nullptr) return;
  }
  if (checkedFile(sb, c) == nullptr) return;
  jsonAnswer(c, 200, {{"success", true}, {"message", "ok"}});
}

void upload(Sandbox::Impl& sb, Ctx& c, bool front) {
  std::lock_guard lock(sb.state.mu);
  const Session* s = requireSession(sb, c);
  if (s == nullptr) return;
  const httplib::MultipartFormData* f = checkedFile(sb, c);
  if (f == nullptr) return;
  Document* d = ownDocument(sb, c, *s);
  if (d == nullptr) return;
  if (d->status != DocumentStatus::Draft) return text(c, 409, "not pending status");
  (front ? d->front : d->back) = sb.state.makeImage(f->content, f->content_type);
  jsonAnswer(c, 200,
             {{"success", true}, {"message", front ? "front image stored" : "back image stored"}});
}

void confirm(Sandbox::Impl& sb, Ctx& c) {
  std::lock_guard lock(sb.state.mu);
  const Session* s = requireSession(sb, c);
  if (s == nullptr) return;
  Document* d = ownDocument(sb, c, *s);
  if (d == nullptr) return;
  if (!d->front) return text(c, 400, "document has no images");
  if (d->status != DocumentStatus::Draft) return text(c, 409, "not pending status");
  sb.state.startRecognition(*d);
  jsonAnswer(c, 200, {{"success", true}, {"message", "Recognition started"}});
}

void required(Sandbox::Impl& sb, Ctx& c) {
  std::lock_guard lock(sb.state.mu);
  if (requireSession(sb, c) == nullptr) return;
  auto it = sb.state.apps.find(c.params.at(0));
  if (it == sb.state.apps.end()) return text(c, 404, "unknown app");
  if (!it->second.requiredDocuments) return jsonAnswer(c, 200, nullptr);
  json arr = json::array();
  for (auto t : *it->second.requiredDocuments) arr.push_back(rawValue(t));
  jsonAnswer(c, 200, arr);
}

}  // namespace

void addDocumentRoutes(Routes& r) {
  r.push_back({"GET", std::regex(R"(/api/v1\.1/documents)"), "documents.list", list, {}});
  r.push_back({"GET",
               std::regex(R"(/api/v1\.1/documents/status/upload)"),
               "documents.upload_status",
               uploadStatus,
               {}});
  r.push_back({"POST", std::regex(R"(/api/v1\.1/documents)"), "documents.create", create, {}});
  r.push_back(
      {"POST", std::regex(R"(/api/v1\.1/documents/file/check)"), "documents.check", check, {}});
  r.push_back({"GET", std::regex(R"(/api/v1\.1/documents/([^/]+))"), "documents.get", get, {}});
  r.push_back({"GET",
               std::regex(R"(/api/v1\.1/documents/([^/]+)/front/file)"),
               "documents.file.front",
               [](Sandbox::Impl& sb, Ctx& c) { file(sb, c, true); },
               {}});
  r.push_back({"GET",
               std::regex(R"(/api/v1\.1/documents/([^/]+)/back/file)"),
               "documents.file.back",
               [](Sandbox::Impl& sb, Ctx& c) { file(sb, c, false); },
               {}});
  r.push_back({"GET",
               std::regex(R"(/api/v1\.1/documents/([^/]+)/status/log)"),
               "documents.log",
               statusLog,
               {}});
  r.push_back({"POST",
               std::regex(R"(/api/v1\.1/documents/([^/]+)/front)"),
               "documents.upload.front",
               [](Sandbox::Impl& sb, Ctx& c) { upload(sb, c, true); },
               {}});
  r.push_back({"POST",
               std::regex(R"(/api/v1\.1/documents/([^/]+)/back)"),
               "documents.upload.back",
               [](Sandbox::Impl& sb, Ctx& c) { upload(sb, c, false); },
               {}});
  r.push_back({"POST",
               std::regex(R"(/api/v1\.1/documents/([^/]+)/confirm)"),
               "documents.confirm",
               confirm,
               {}});
  r.push_back({"GET",
               std::regex(R"(/api/v1\.1/apps/([^/]+)/documents/required)"),
               "apps.required",
               required,
               {}});
}

}  // namespace sandbox::detail
