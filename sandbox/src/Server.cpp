// The HTTPS server core: start and stop, routing by endpoint id, host check, faults, request log.
#include "Impl.hpp"

#include <openssl/ssl.h>
#include <signal.h>
#include <sys/socket.h>

#include <algorithm>
#include <stdexcept>

namespace sandbox {

using namespace detail;

namespace {

thread_local bool t_dispatched = false;
constexpr std::size_t kTestLogCap = 4096;

bool isPseudoHeader(const std::string& name) {
  return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
         name == "LOCAL_PORT";
}

void splitTarget(const std::string& target, std::string& path, std::string& query) {
  const std::size_t q = target.find('?');
  path = target.substr(0, q);
  query = q == std::string::npos ? std::string() : target.substr(q + 1);
  if (const std::size_t hash = path.find('#'); hash != std::string::npos) path.resize(hash);
}

LoggedRequest describe(const httplib::Request& req, const std::string& endpoint) {
  LoggedRequest e;
  e.endpoint = endpoint;
  e.method = req.method;
  e.host = req.get_header_value("Host");
  e.target = req.target;
  e.path = req.path;
  std::string rawPath, rawQuery;
  splitTarget(req.target, rawPath, rawQuery);
  e.query = parseQuery(rawQuery);
  for (const auto& [k, v] : req.headers) {
    if (!isPseudoHeader(k)) e.headers.emplace_back(k, v);
  }
  const bool trim = startsWith(endpoint, "test.");
  e.body = trim && req.body.size() > kTestLogCap ? req.body.substr(0, kTestLogCap) : req.body;
  e.bodySize = req.body.size();
  std::size_t fieldBytes = 0;
  for (const auto& [name, f] : req.files) {
    fieldBytes += f.content.size();
    e.fields.push_back(FormField{
        f.name, f.filename, f.content_type,
        trim && f.content.size() > kTestLogCap ? f.content.substr(0, kTestLogCap) : f.content});
  }
  if (req.body
          .empty()) {  // multipart, or a body still to be streamed (test area): the declared size
    const auto cl = parseInteger(req.get_header_value("Content-Length"));
    e.bodySize = cl ? static_cast<std::size_t>(*cl) : fieldBytes;
  }
  return e;
}

std::string describeFault(const Fault& f) {
  std::string out;
  auto add = [&](const std::string& part) { out += (out.empty() ? "" : "+") + part; };
  if (f.delay.count() > 0) add("delay " + std::to_string(f.delay.count()) + "ms");
  if (f.status || f.body) {
    add("answer " + std::to_string(f.status.value_or(200)) +
        (f.runHandler ? " after handler" : ""));
  } else if (!f.headers.empty()) {
    add("headers");
  }
  switch (f.transport) {
    case Transport::Normal:
      break;
    case Transport::Drop:
      add("drop");
      break;
    case Transport::Truncate:
      add("truncate");
      break;
    case Transport::Chunked:
      add("chunked");
      break;
  }
  return out.empty() ? "none" : out;
}

void drain(Ctx& c) {
  if (c.reader == nullptr) return;
  if (c.req.is_multipart_form_data()) {
    (*c.reader)([](const httplib::MultipartFormData&) { return true; },
                [](const char*, std::size_t) { return true; });
  } else {
    (*c.reader)([](const char*, std::size_t) { return true; });
  }
  c.reader = nullptr;
}

}  // namespace

namespace detail {

void text(Ctx& c, int status, std::string_view body) {
  c.res.status = status;
  c.res.set_content(std::string(body), "text/plain; charset=utf-8");
}

void jsonAnswer(Ctx& c, int status, const json& body) {
  c.res.status = status;
  c.res.set_content(body.dump(), "application/json");
}

std::optional<json> jsonObject(const Ctx& c) {
  json j = json::parse(c.req.body, nullptr, false);
  if (j.is_discarded() || !j.is_object()) return std::nullopt;
  return j;
}

bool hasStrings(const json& j, std::initializer_list<const char*> keys) {
  for (const char* k : keys) {
    auto it = j.find(k);
    if (it == j.end() || !it->is_string()) return false;
  }
  return true;
}

}  // namespace detail

Sandbox::Impl::Impl(Options opts) : options(opts) {
  // A dropped or aborted connection must never kill the process.
  struct sigaction old {};
  if (::sigaction(SIGPIPE, nullptr, &old) == 0 && old.sa_handler == SIG_DFL)
    ::signal(SIGPIPE, SIG_IGN);

  addIdentityRoutes(routes);
  addOAuthRoutes(routes);
  addDocumentRoutes(routes);
  addApiRoutes(routes);
  addTestRoutes(routes);
  seed();

  server = std::make_unique<httplib::SSLServer>(certs.leaf(), certs.leafKey());
  if (!server->is_valid()) throw std::runtime_error("sandbox: the TLS server is not valid");
  const std::size_t threads = static_cast<std::size_t>(std::max(2, options.threads));
  server->new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  // Answers go out at once (no Nagle delay) and a kept-alive connection serves any number of
  // requests, so clients that reuse connections can be measured against it.
  server->set_tcp_nodelay(true);
  if (options.keepAliveSeconds > 0) {
    server->set_keep_alive_timeout(options.keepAliveSeconds);
    server->set_keep_alive_max_count(1000000);
  } else {
    server->set_keep_alive_max_count(1);
  }
  server->set_payload_max_length(
      std::max<std::size_t>(options.maxUploadBytes * 2 + (1u << 20), 1u << 30));
  server->set_read_timeout(10, 0);
  server->set_write_timeout(10, 0);

  auto streaming = [this](const httplib::Request& req, httplib::Response& res,
                          const httplib::ContentReader& reader) { dispatch(req, res, &reader); };
  server->Post(R"(/test/upload(/.*)?)", streaming);
  server->Put(R"(/test/upload(/.*)?)", streaming);
  auto plain = [this](const httplib::Request& req, httplib::Response& res) {
    dispatch(req, res, nullptr);
  };
  server->Get(".*", plain);
  server->Post(".*", plain);
  server->Put(".*", plain);
  server->Patch(".*", plain);
  server->Delete(".*", plain);
  server->Options(".*", plain);
  server->set_pre_routing_handler([](const httplib::Request&, httplib::Response&) {
    t_dispatched = false;
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server->set_logger([this](const httplib::Request& req, const httplib::Response& res) {
    if (!t_dispatched) logUnhandled(req, res);
    t_dispatched = false;
  });

  port = server->bind_to_any_port("127.0.0.1");
  if (port < 0) throw std::runtime_error("sandbox: cannot bind 127.0.0.1");
  thread = std::thread([this] { server->listen_after_bind(); });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!server->is_running()) {
    if (std::chrono::steady_clock::now() > deadline) {
      // listen_after_bind failed (it returned without running): nothing to stop.
      if (thread.joinable()) thread.join();
      throw std::runtime_error("sandbox: the server did not start");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  try {
    if (options.rawListener) raw = std::make_unique<RawListener>(certs.newServerContext());
  } catch (...) {
    stop();
    throw;
  }
}

Sandbox::Impl::~Impl() {
  stop();
}

void Sandbox::Impl::stop() {
  {
    std::lock_guard lock(stopMu);
    if (stopRequested) return;
    stopRequested = true;
  }
  stopCv.notify_all();
  if (server) server->stop();
  if (thread.joinable()) thread.join();
  if (raw) raw->stop();
  logCv.notify_all();
}

bool Sandbox::Impl::stopping() const {
  std::lock_guard lock(stopMu);
  return stopRequested;
}

bool Sandbox::Impl::sleepFor(std::chrono::milliseconds duration) {
  std::unique_lock lock(stopMu);
  return !stopCv.wait_for(lock, duration, [&] { return stopRequested; });
}

void Sandbox::Impl::seed() {
  std::lock_guard lock(state.mu);
  state.clear();
  if (options.seedDefaults) state.seedDefaults();
}

std::uint64_t Sandbox::Impl::logBegin(const Ctx& c) {
  LoggedRequest e = describe(c.req, c.endpoint);
  std::lock_guard lock(logMu);
  e.seq = nextSeq++;
  log.push_back(std::move(e));
  return log.back().seq;
}

void Sandbox::Impl::logEnd(std::uint64_t seq, int status, const std::string& fault) {
  {
    std::lock_guard lock(logMu);
    if (!log.empty() && seq >= log.front().seq && seq - log.front().seq < log.size()) {
      LoggedRequest& e = log[seq - log.front().seq];
      e.status = status;
      e.fault = fault;
      e.done = true;
    }
  }
  logCv.notify_all();
}

void Sandbox::Impl::logUnhandled(const httplib::Request& req, const httplib::Response& res) {
  LoggedRequest e = describe(req, "");
  e.status = res.status;
  e.done = true;
  {
    std::lock_guard lock(logMu);
    e.seq = nextSeq++;
    log.push_back(std::move(e));
  }
  logCv.notify_all();
}

std::optional<Fault> Sandbox::Impl::takeFault(const std::string& endpoint) {
  std::lock_guard lock(faultMu);
  for (auto& slot : faults) {
    if (slot.endpoint != endpoint && slot.endpoint != "*") continue;
    if (slot.fault.times > 0 && slot.applied >= slot.fault.times) continue;
    if (slot.seen < slot.fault.skip) {
      ++slot.seen;
      return std::nullopt;
    }
    ++slot.applied;
    return slot.fault;
  }
  return std::nullopt;
}

void Sandbox::Impl::dispatch(const httplib::Request& req, httplib::Response& res,
                             const httplib::ContentReader* reader) {
  t_dispatched = true;
  Ctx c{req, res, reader};
  c.hostHeader = req.get_header_value("Host");
  c.host = hostWithoutPort(c.hostHeader);
  splitTarget(req.target, c.rawPath, c.rawQuery);
  c.query = parseQuery(c.rawQuery);
  {
    std::string auth = req.get_header_value("Authorization");
    if (auth.size() >= 6 && iequals(std::string_view(auth).substr(0, 6), "Bearer")) {
      std::string_view token = std::string_view(auth).substr(6);
      while (!token.empty() && token.front() == ' ') token.remove_prefix(1);
      while (!token.empty() && token.back() == ' ') token.remove_suffix(1);
      c.bearer = std::string(token);
    }
  }

  const Route* route = nullptr;
  for (const Route& r : routes) {
    const bool methodOk =
        r.method == "*" || r.method == req.method || (r.method == "GET" && req.method == "HEAD");
    if (!methodOk) continue;
    std::smatch m;
    if (!std::regex_match(c.rawPath, m, r.pattern)) continue;
    c.params.clear();
    for (std::size_t i = 1; i < m.size(); ++i) c.params.push_back(percentDecode(m[i].str(), false));
    if (r.when && !r.when(c)) continue;
    route = &r;
    break;
  }
  if (route == nullptr) c.params.clear();
  c.endpoint = route != nullptr ? route->id : std::string();
  const std::uint64_t seq = logBegin(c);

  if (options.strictHosts) {
    const bool idPath = c.rawPath == "/api/v1.1" || startsWith(c.rawPath, "/api/v1.1/");
    const bool apiPath = c.rawPath == "/v1" || startsWith(c.rawPath, "/v1/");
    if ((idPath && !startsWith(c.host, "id.")) || (apiPath && !startsWith(c.host, "api."))) {
      drain(c);
      text(c, 421, "wrong host");
      logEnd(seq, 421, "");
      return;
    }
  }

  const std::optional<Fault> fault = takeFault(c.endpoint);
  const std::string faultText = fault ? describeFault(*fault) : std::string();
  if (fault && fault->delay.count() > 0 && !sleepFor(fault->delay)) {
    drain(c);
    text(c, 503, "sandbox stopping");
    logEnd(seq, 503, faultText);
    return;
  }
  if (fault && fault->transport == Transport::Drop) {
    drain(c);
    logEnd(seq, 0, faultText);
    if (req.ssl != nullptr) ::shutdown(SSL_get_fd(req.ssl), SHUT_RDWR);
    res.status = 500;  // never sent: the socket is closed
    return;
  }

  const bool replace = fault && (fault->status || fault->body);
  if (!replace || fault->runHandler) {
    try {
      if (route != nullptr) {
        route->handler(*this, c);
      } else {
        text(c, 404, "not found");
      }
    } catch (const std::exception& e) {
      res = httplib::Response();
      text(c, 500, std::string("sandbox error: ") + e.what());
    }
  }
  drain(c);
  if (replace) {
    res.headers.clear();
    res.content_length_ = 0;
    res.content_provider_ = nullptr;
    res.is_chunked_content_provider_ = false;
    res.status = fault->status.value_or(200);
    res.body = fault->body.value_or(std::string());
    // 204 and 304 answers carry no body on the wire: bytes after them would corrupt the
    // next answer on a kept-alive connection.
    if (res.status == 204 || res.status == 304) res.body.clear();
    if (!res.body.empty() || (fault->body && res.status != 204 && res.status != 304))
      res.set_header("Content-Type", fault->contentType);
  }
  if (fault) {
    for (const auto& [k, v] : fault->headers) {
      if (res.has_header(k)) res.headers.erase(k);
      res.set_header(k, v);
    }
  }
  if (fault && !res.content_provider_ &&
      (fault->transport == Transport::Truncate || fault->transport == Transport::Chunked)) {
    auto body = std::make_shared<std::string>(std::move(res.body));
    res.body.clear();
    std::string type = res.get_header_value("Content-Type");
    if (type.empty()) type = "application/octet-stream";
    res.headers.erase("Content-Type");
    if (fault->transport == Transport::Truncate) {
      const std::size_t declared = std::max<std::size_t>(body->size(), 1);
      const std::size_t sent = body->size() / 2;
      res.set_content_provider(
          declared, type, [body, sent](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            if (offset < sent) sink.write(body->data() + offset, sent - offset);
            return false;
          });
    } else {
      res.set_chunked_content_provider(type, [body](std::size_t offset, httplib::DataSink& sink) {
        if (offset < body->size()) {
          sink.write(body->data() + offset, std::min<std::size_t>(body->size() - offset, 4096));
        } else {
          sink.done();
        }
        return true;
      });
    }
  }
  logEnd(seq, res.status, faultText);
}

}  // namespace sandbox
