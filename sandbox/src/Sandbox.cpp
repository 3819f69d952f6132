// sandbox::Sandbox: the controls tests use.
#include "Impl.hpp"

#include <stdexcept>

namespace sandbox {

using namespace detail;

// ---- LoggedRequest ----

std::optional<std::string> LoggedRequest::header(std::string_view name) const {
  for (const auto& [k, v] : headers) {
    if (iequals(k, name)) return v;
  }
  return std::nullopt;
}

std::optional<std::string> LoggedRequest::param(std::string_view name) const {
  return first(query, name);
}

// ---- Fault ----

Fault Fault::answer(int status, std::string body, std::string contentType) {
  Fault f;
  f.status = status;
  f.body = std::move(body);
  f.contentType = std::move(contentType);
  return f;
}
Fault Fault::json(int status, std::string rawJson) {
  return answer(status, std::move(rawJson), "application/json");
}
Fault Fault::malformedJson() {
  return json(200, R"({"success":)");
}
Fault Fault::notJson() {
  return answer(200, "<html>not json</html>", "text/html");
}
Fault Fault::emptyBody() {
  return answer(200, "", "application/json");
}
Fault Fault::notUtf8() {
  return answer(200, std::string("\xFF\xFE\xC3\x28 not utf-8", 14), "text/plain");
}
Fault Fault::redirect(int status, std::string location) {
  Fault f = answer(status, "");
  f.headers.emplace_back("Location", std::move(location));
  return f;
}
Fault Fault::after(std::chrono::milliseconds delay) {
  Fault f;
  f.delay = delay;
  return f;
}
Fault Fault::drop() {
  Fault f;
  f.transport = Transport::Drop;
  return f;
}
Fault Fault::truncate() {
  Fault f;
  f.transport = Transport::Truncate;
  return f;
}
Fault Fault::chunked() {
  Fault f;
  f.transport = Transport::Chunked;
  return f;
}
Fault Fault::skipping(int n) && {
  skip = n;
  return std::move(*this);
}
Fault Fault::repeat(int n) && {
  times = n;
  return std::move(*this);
}
Fault Fault::withHandler() && {
  runHandler = true;
  return std::move(*this);
}
Fault Fault::withDelay(std::chrono::milliseconds d) && {
  delay = d;
  return std::move(*this);
}
Fault Fault::withHeader(std::string name, std::string value) && {
  headers.emplace_back(std::move(name), std::move(value));
  return std::move(*this);
}

// ---- Sandbox ----

Sandbox::Sandbox() : Sandbox(Options{}) {}
Sandbox::Sandbox(Options options) : impl_(std::make_unique<Impl>(options)) {}
Sandbox::~Sandbox() {
  impl_->stop();
}

void Sandbox::stop() {
  impl_->stop();
}
int Sandbox::port() const {
  return impl_->port;
}
const std::string& Sandbox::caPem() const {
  return impl_->certs.caPem();
}

void* Sandbox::newServerContext() const {
  return impl_->certs.newServerContext();
}

std::vector<std::string> Sandbox::routes() const {
  std::vector<std::string> out;
  for (auto host : kHosts)
    out.push_back(std::string(host) + ":443:127.0.0.1:" + std::to_string(impl_->port));
  return out;
}

std::string Sandbox::baseUrl(std::string_view host) {
  return "https://" + std::string(host);
}

void Sandbox::reset() {
  impl_->seed();
  clearLog();
  clearFaults();
  if (impl_->raw) {
    impl_->raw->clear();
    impl_->raw->setAnswer({});
  }
}

void Sandbox::addUser(UserSeed user) {
  std::lock_guard lock(impl_->state.mu);
  impl_->state.addUser(std::move(user));
}

void Sandbox::addApp(AppSeed app) {
  std::lock_guard lock(impl_->state.mu);
  const std::string id = app.clientId;
  impl_->state.apps[id] = std::move(app);
}

std::string Sandbox::addDocument(const std::string& ownerEmail, DocumentType type,
                                 DocumentStatus status, std::optional<std::string> front,
                                 std::optional<std::string> back, std::optional<std::string> id) {
  std::lock_guard lock(impl_->state.mu);
  User* user = impl_->state.findUser(ownerEmail);
  if (user == nullptr) throw std::invalid_argument("sandbox: unknown user " + ownerEmail);
  Document& d = impl_->state.addDocument(*user->seed.id, type, status, std::move(id));
  if (front) d.front = impl_->state.makeImage(std::move(*front), "image/jpeg");
  if (back) d.back = impl_->state.makeImage(std::move(*back), "image/jpeg");
  return d.id;
}

void Sandbox::putFile(const std::string& name, std::string bytes) {
  std::lock_guard lock(impl_->state.mu);
  impl_->state.files[name] = std::move(bytes);
}

std::optional<UserSeed> Sandbox::user(const std::string& email) const {
  std::lock_guard lock(impl_->state.mu);
  const User* u = impl_->state.findUser(email);
  if (u == nullptr) return std::nullopt;
  return u->seed;
}

namespace {
DocumentInfo infoOf(State& state, const Document& d) {
  DocumentInfo info;
  info.id = d.id;
  if (const User* u = state.userById(d.ownerId)) info.ownerEmail = u->seed.email;
  info.type = d.type;
  info.status = d.status;
  info.createdAt = d.createdAt;
  if (d.front) {
    info.front = d.front->bytes;
    info.frontContentType = d.front->mime;
  }
  if (d.back) {
    info.back = d.back->bytes;
    info.backContentType = d.back->mime;
  }
  return info;
}
}  // namespace

std::vector<DocumentInfo> Sandbox::documents(const std::string& ownerEmail) const {
  std::lock_guard lock(impl_->state.mu);
  std::vector<DocumentInfo> out;
  for (const auto& d : impl_->state.documents) {
    DocumentInfo info = infoOf(impl_->state, d);
    if (ownerEmail.empty() || iequals(info.ownerEmail, ownerEmail)) out.push_back(std::move(info));
  }
  return out;
}

std::optional<DocumentInfo> Sandbox::document(const std::string& id) const {
  std::lock_guard lock(impl_->state.mu);
  const Document* d = impl_->state.findDocument(id);
  if (d == nullptr) return std::nullopt;
  return infoOf(impl_->state, *d);
}

std::vector<SentCode> Sandbox::outbox() const {
  std::lock_guard lock(impl_->state.mu);
  std::vector<SentCode> out;
  for (const auto& c : impl_->state.outbox)
    out.push_back(SentCode{c.address, c.channel, c.sentBy, c.code, c.sentAt, c.used});
  return out;
}

std::optional<std::string> Sandbox::lastCode(const std::string& address) const {
  std::lock_guard lock(impl_->state.mu);
  auto it = impl_->state.latestCode.find(lower(address));
  if (it == impl_->state.latestCode.end()) return std::nullopt;
  return impl_->state.outbox[it->second].code;
}

std::vector<LoggedRequest> Sandbox::requests() const {
  std::lock_guard lock(impl_->logMu);
  return {impl_->log.begin(), impl_->log.end()};
}

std::vector<LoggedRequest> Sandbox::requests(std::string_view endpoint) const {
  std::lock_guard lock(impl_->logMu);
  std::vector<LoggedRequest> out;
  for (const auto& e : impl_->log) {
    if (e.endpoint == endpoint) out.push_back(e);
  }
  return out;
}

std::size_t Sandbox::count(std::string_view endpoint) const {
  std::lock_guard lock(impl_->logMu);
  std::size_t n = 0;
  for (const auto& e : impl_->log) n += e.endpoint == endpoint ? 1 : 0;
  return n;
}

void Sandbox::clearLog() {
  std::lock_guard lock(impl_->logMu);
  impl_->log.clear();
}

bool Sandbox::waitFor(std::string_view endpoint, std::size_t n,
                      std::chrono::milliseconds timeout) const {
  std::unique_lock lock(impl_->logMu);
  return impl_->logCv.wait_for(lock, timeout, [&] {
    std::size_t done = 0;
    for (const auto& e : impl_->log) done += (e.endpoint == endpoint && e.done) ? 1 : 0;
    return done >= n;
  });
}

void Sandbox::inject(std::string_view endpoint, Fault fault) {
  std::lock_guard lock(impl_->faultMu);
  impl_->faults.push_back(Impl::FaultSlot{std::string(endpoint), std::move(fault), 0, 0});
}

void Sandbox::clearFaults() {
  std::lock_guard lock(impl_->faultMu);
  impl_->faults.clear();
}

void Sandbox::setRecognition(std::vector<DocumentStatus> script) {
  std::lock_guard lock(impl_->state.mu);
  impl_->state.defaultScript = std::move(script);
}

void Sandbox::setRecognition(DocumentType type, std::vector<DocumentStatus> script) {
  std::lock_guard lock(impl_->state.mu);
  impl_->state.typeScripts[type] = std::move(script);
}

void Sandbox::setRecognitionFor(const std::string& documentId, std::vector<DocumentStatus> script) {
  std::lock_guard lock(impl_->state.mu);
  impl_->state.idScripts[documentId] = std::move(script);
  // A document already in recognition follows its new script from the next poll.
  if (Document* d = impl_->state.findDocument(documentId); d != nullptr && d->scriptActive) {
    d->script = impl_->state.idScripts[documentId];
    d->scriptPos = 0;
  }
}

void Sandbox::setDocumentStatus(const std::string& documentId, DocumentStatus status) {
  std::lock_guard lock(impl_->state.mu);
  Document* d = impl_->state.findDocument(documentId);
  if (d == nullptr) throw std::invalid_argument("sandbox: unknown document " + documentId);
  impl_->state.setDocumentStatus(*d, status, "Status set by test");
}

std::string Sandbox::signIn(const std::string& email) {
  std::lock_guard lock(impl_->state.mu);
  User* user = impl_->state.findUser(email);
  if (user == nullptr) throw std::invalid_argument("sandbox: unknown user " + email);
  return impl_->state.newSession(*user->seed.id).bearer;
}

std::string Sandbox::grant(const std::string& email, const std::string& clientId) {
  std::lock_guard lock(impl_->state.mu);
  User* user = impl_->state.findUser(email);
  if (user == nullptr) throw std::invalid_argument("sandbox: unknown user " + email);
  auto app = impl_->state.apps.find(clientId);
  if (app == impl_->state.apps.end())
    throw std::invalid_argument("sandbox: unknown app " + clientId);
  return impl_->state.newAccessToken(*user->seed.id, clientId, app->second.requestedScopes).token;
}

void Sandbox::expireSessions() {
  std::lock_guard lock(impl_->state.mu);
  for (auto& [k, s] : impl_->state.sessions) s.dead = true;
}

void Sandbox::expireAccessTokens() {
  std::lock_guard lock(impl_->state.mu);
  for (auto& [k, t] : impl_->state.accessTokens) t.dead = true;
}

void Sandbox::setSkip(const std::string& clientId, SkipPolicy login, SkipPolicy consent) {
  std::lock_guard lock(impl_->state.mu);
  auto it = impl_->state.apps.find(clientId);
  if (it == impl_->state.apps.end())
    throw std::invalid_argument("sandbox: unknown app " + clientId);
  it->second.loginSkip = login;
  it->second.consentSkip = consent;
}

void Sandbox::setNextConsentChallenge(std::string challenge) {
  std::lock_guard lock(impl_->state.mu);
  impl_->state.nextConsentChallenge = std::move(challenge);
}

void Sandbox::setClock(std::function<std::int64_t()> unixSeconds) {
  std::lock_guard lock(impl_->state.mu);
  impl_->state.clock = std::move(unixSeconds);
}

std::int64_t Sandbox::now() const {
  std::lock_guard lock(impl_->state.mu);
  return impl_->state.now();
}

int Sandbox::rawPort() const {
  return impl_->raw ? impl_->raw->port() : -1;
}

std::vector<std::string> Sandbox::rawRoutes() const {
  std::vector<std::string> out;
  if (!impl_->raw) return out;
  for (auto host : kHosts)
    out.push_back(std::string(host) + ":443:127.0.0.1:" + std::to_string(impl_->raw->port()));
  return out;
}

std::vector<RawRequest> Sandbox::rawRequests() const {
  return impl_->raw ? impl_->raw->records() : std::vector<RawRequest>{};
}

bool Sandbox::waitForRaw(std::size_t n, std::chrono::milliseconds timeout) const {
  return impl_->raw ? impl_->raw->waitFor(n, timeout) : false;
}

void Sandbox::clearRawRequests() {
  if (impl_->raw) impl_->raw->clear();
}

std::size_t Sandbox::rawOpenConnections() const {
  return impl_->raw ? impl_->raw->openConnections() : 0;
}

void Sandbox::setRawAnswer(std::string bytes) {
  if (impl_->raw) impl_->raw->setAnswer(std::move(bytes));
}

}  // namespace sandbox
