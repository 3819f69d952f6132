#include "Foundation/Networking/Engine.hpp"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "Foundation/FileManager.hpp"
#include "Foundation/InputStream.hpp"
#include "Foundation/Networking/CurlShare.hpp"
#include "Foundation/Networking/Environment.hpp"
#include "Foundation/URLSession.hpp"
#include "Foundation/URLSessionDelegate.hpp"
#include "Foundation/URLSessionTask.hpp"

namespace Foundation::Networking {

namespace {

constexpr int kMaxRedirects = 20;
constexpr std::size_t kIdleHandles = 8;
constexpr long kIdlePollMs = 5000;

double monotonicNow() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string lowered(std::string_view text) {
  std::string out(text);
  for (auto& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool isRedirectStatus(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// A header that cannot be written as one line is not sent at all.
bool sendable(std::string_view name, std::string_view value) {
  if (name.empty()) return false;
  for (unsigned char c : name) {
    if (c <= 0x20 || c >= 0x7F || c == ':' || c == ';') return false;
  }
  return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

struct Origin {
  std::string scheme, host;
  int port = 0;
  bool operator==(const Origin&) const = default;
};

Origin originOf(const URL& url) {
  Origin o{lowered(url.scheme().value_or("")), lowered(url.host().value_or("")), 0};
  o.port = url.port().value_or(o.scheme == "https" ? 443 : o.scheme == "http" ? 80 : 0);
  return o;
}

// nullopt when the request may be loaded; else why not.
std::optional<NSError> checkLoadable(const URLRequest& request) {
  if (!request.url) return NSError::urlError(NSURLErrorBadURL);
  const std::string text = request.url->absoluteString();
  const std::string scheme = lowered(request.url->scheme().value_or(""));
  if (scheme == "http") {
    return NSError::urlError(NSURLErrorAppTransportSecurityRequiresSecureConnection, text);
  }
  if (scheme != "https") return NSError::urlError(NSURLErrorUnsupportedURL, text);
  if (!request.url->host()) return NSError::urlError(NSURLErrorBadURL, text);
  return std::nullopt;
}

// The body length the request announces, if it announces a sound one.
std::optional<std::int64_t> declaredLength(const URLRequest& request) {
  const auto text = request.value("Content-Length");
  if (!text) return std::nullopt;
  std::int64_t length = -1;
  const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), length);
  if (error != std::errc() || end != text->data() + text->size() || length < 0) {
    return std::nullopt;
  }
  return length;
}

bool isBodiless(const std::string& method) {
  return method == "GET" || method == "HEAD";
}

// The absolute target of a Location header, resolved against the URL that answered.
std::optional<URL> resolve(const URL& base, const std::string& location) {
  CURLU* u = curl_url();
  if (u == nullptr) return std::nullopt;
  std::optional<URL> result;
  char* text = nullptr;
  if (curl_url_set(u, CURLUPART_URL, base.absoluteString().c_str(), 0) == CURLUE_OK &&
      curl_url_set(u, CURLUPART_URL, location.c_str(), 0) == CURLUE_OK &&
      curl_url_get(u, CURLUPART_URL, &text, 0) == CURLUE_OK) {
    result = URL::string(text);
  }
  curl_free(text);
  curl_url_cleanup(u);
  return result;
}

int urlErrorCode(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
      return NSURLErrorCannotFindHost;
    case CURLE_COULDNT_CONNECT:
      return NSURLErrorCannotConnectToHost;
    case CURLE_OPERATION_TIMEDOUT:
      return NSURLErrorTimedOut;
    case CURLE_PEER_FAILED_VERIFICATION:
      return NSURLErrorServerCertificateUntrusted;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_USE_SSL_FAILED:
      return NSURLErrorSecureConnectionFailed;
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
      return NSURLErrorNetworkConnectionLost;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING:
      return NSURLErrorBadServerResponse;
    case CURLE_URL_MALFORMAT:
      return NSURLErrorBadURL;
    case CURLE_UNSUPPORTED_PROTOCOL:
      return NSURLErrorUnsupportedURL;
    default:
      return NSURLErrorUnknown;
  }
}

}  // namespace

enum class Mode { completion, dataDelegate, download };

// One task on its way through the engine: the request being loaded and the current hop.
struct Transfer {
  Engine* engine = nullptr;  // the owner
  std::weak_ptr<Engine> weakEngine;
  bool cookies = false;
  std::shared_ptr<URLSessionTask> task;
  std::shared_ptr<URLSession> session;
  std::shared_ptr<URLSessionTaskDelegate> taskDelegate;
  std::shared_ptr<URLSessionDataDelegate> dataDelegate;
  std::shared_ptr<URLSessionDownloadDelegate> downloadDelegate;
  Mode mode = Mode::completion;
  std::uint64_t id = 0;
  URLRequest request;
  double timeout = 60.0;
  int redirects = 0;
  bool retriedOnNewConnection = false;  // by the current hop
  bool newConnection = false;           // the next hop may not reuse a connection

  // The body, sent again from its start on each hop that keeps it.
  bool hasBody = false;
  std::shared_ptr<const Data> bodyData;
  FILE* bodyFile = nullptr;
  std::shared_ptr<InputStream> bodyStream;
  bool bodyStreamRead = false;     // bytes were taken since its start
  std::int64_t bodyBytesRead = 0;  // by the current hop
  std::int64_t bodySize = 0;
  std::size_t bodyOffset = 0;

  // The current hop.
  CURL* easy = nullptr;
  curl_slist* headers = nullptr;
  std::shared_ptr<const EnvironmentSnapshot> env;
  char errorText[CURL_ERROR_SIZE] = {};
  int status = 0;
  std::optional<std::string> httpVersion;
  std::vector<std::pair<std::string, std::string>> fields;
  bool headersDone = false;
  std::optional<URL> redirectTarget;
  std::shared_ptr<HTTPURLResponse> redirectResponse;
  Data redirectBody;

  // What the task has received.
  std::shared_ptr<HTTPURLResponse> response;
  Data buffer;  // completion-handler tasks
  bool awaitingDisposition = false;
  bool awaitingRedirect = false;
  bool receivePaused = false;  // libcurl holds body bytes until the disposition arrives
  bool suspended = false;
  std::optional<Data> heldBody;  // a refused redirect's body waiting for the disposition
  bool heldEnd = false;          // the transfer ended while the disposition was awaited
  std::optional<NSError> localError;
  FILE* out = nullptr;
  std::string outPath;
  std::int64_t written = 0;

  std::int64_t reportedSent = 0;
  curl_off_t lastUp = 0, lastDown = 0;
  double lastActivity = 0;

  explicit Transfer(URLRequest r) : request(std::move(r)) {}
  ~Transfer() {
    curl_slist_free_all(headers);
    closeBody();
    if (out) std::fclose(out);
    if (!outPath.empty()) ::unlink(outPath.c_str());
  }

  void touch() { lastActivity = monotonicNow(); }
  void closeBody() {
    if (bodyFile) std::fclose(bodyFile);
    bodyFile = nullptr;
    if (bodyStream) bodyStream->close();
    bodyStream.reset();
  }
  std::string urlText() const { return request.url ? request.url->absoluteString() : ""; }
  void enqueue(std::function<void()> block) const {
    engine->toDelegateQueue(*session, std::move(block));
  }
  NSError errorFor(CURLcode code) const {
    return NSError::urlError(urlErrorCode(code), urlText(),
                             errorText[0] != 0 ? errorText : curl_easy_strerror(code));
  }
};

// ---------------------------------------------------------------------------------------------
// Life of the engine

Engine::Engine(bool cookies, std::shared_ptr<OperationQueue> servedQueue)
    : cookies_(cookies), servedQueue_(std::move(servedQueue)) {
  initializeCurl();
  multi_ = curl_multi_init();
  epollFd_ = ::epoll_create1(EPOLL_CLOEXEC);
  wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  epoll_event wake{};
  wake.events = EPOLLIN;
  wake.data.fd = wakeFd_;
  if (multi_ == nullptr || epollFd_ < 0 || wakeFd_ < 0 ||
      ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &wake) != 0) {
    std::fprintf(stderr, "Foundation: the transfer engine could not be set up\n");
    std::abort();
  }
  // libcurl tells which sockets to watch and when to call back; the session thread waits on
  // them without libcurl, so a caller may start a transfer meanwhile.
  curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &Engine::onSocket);
  curl_multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
  curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &Engine::onTimer);
  curl_multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
  // Connections stay open for reuse across requests to the same host.
  curl_multi_setopt(multi_, CURLMOPT_MAXCONNECTS, 32L);
}

Engine::~Engine() {
  for (auto& [id, t] : transfers_) endHop(*t);
  transfers_.clear();
  for (CURL* easy : idle_) curl_easy_cleanup(easy);
  curl_multi_cleanup(multi_);
  ::close(wakeFd_);
  ::close(epollFd_);
}

void Engine::stop() {
  stopping_ = true;
  wake();
}

void Engine::wake() {
  const std::uint64_t one = 1;
  while (::write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

void Engine::post(std::function<void()> command) {
  {
    std::lock_guard lock(mutex_);
    commands_.push_back(std::move(command));
    commandsPending_.store(true);
  }
  // Pairs with run(): it marks itself polling before its last look at commandsPending_.
  if (polling_.load()) wake();
}

void Engine::runCommands() {
  std::deque<std::function<void()>> commands;
  {
    std::lock_guard lock(mutex_);
    commands.swap(commands_);
    commandsPending_.store(false);
  }
  for (auto& command : commands) command();
}

void Engine::toDelegateQueue(const URLSession& session, std::function<void()> block) {
  if (servedQueue_) {
    delegateBlocks_.push_back(std::move(block));
  } else {
    session.delegateQueue()->addOperation(std::move(block));
  }
}

void Engine::run() {
  std::unique_lock lock(engineMutex_);
  std::array<epoll_event, 32> events{};
  int ready = 0;
  while (!stopping_) {
    runCommands();
    for (int i = 0; i < ready; ++i) {
      const int fd = events[i].data.fd;
      if (fd == wakeFd_) {
        std::uint64_t count = 0;
        while (::read(wakeFd_, &count, sizeof count) < 0 && errno == EINTR) {
        }
        continue;
      }
      const auto flags = events[i].events;
      int mask = 0;
      if (flags & (EPOLLIN | EPOLLHUP)) mask |= CURL_CSELECT_IN;
      if (flags & EPOLLOUT) mask |= CURL_CSELECT_OUT;
      if (flags & EPOLLERR) mask |= CURL_CSELECT_ERR;
      int running = 0;
      curl_multi_socket_action(multi_, fd, mask, &running);
    }
    ready = 0;
    drive();
    checkTimeouts();
    const long wait = pollTimeoutMs();
    waitingUntil_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait);
    // From here the engine counts as waiting: whatever a caller leaves that cannot wait until
    // then (a command, a sooner timer, delegate work) wakes it.
    polling_.store(true);
    auto blocks = std::exchange(delegateBlocks_, {});
    lock.unlock();
    // Delegate code runs without the engine held: it may start tasks of its own.
    for (auto& block : blocks) servedQueue_->runHereOrAdd(std::move(block));
    blocks.clear();
    if (!commandsPending_.load() && !stopping_) {
      ready = ::epoll_wait(epollFd_, events.data(), static_cast<int>(events.size()),
                           static_cast<int>(wait));
      ready = std::max(ready, 0);
    }
    lock.lock();
    polling_.store(false);
  }
  // Whatever is left still reaches the delegate, on the queue's own thread.
  for (auto& block : std::exchange(delegateBlocks_, {}))
    servedQueue_->addOperation(std::move(block));
}

void Engine::drive() {
  if (timerDue_ && std::chrono::steady_clock::now() >= *timerDue_) {
    timerDue_.reset();
    int running = 0;
    curl_multi_socket_action(multi_, CURL_SOCKET_TIMEOUT, 0, &running);
  }
  int left = 0;
  while (CURLMsg* msg = curl_multi_info_read(multi_, &left)) {
    if (msg->msg != CURLMSG_DONE) continue;
    const CURLcode code = msg->data.result;
    Transfer* t = nullptr;
    curl_easy_getinfo(msg->easy_handle, CURLINFO_PRIVATE, &t);
    if (t != nullptr) finished(*t, code);
  }
}

int Engine::onSocket(CURL*, curl_socket_t socket, int what, void* user, void*) {
  auto& engine = *static_cast<Engine*>(user);
  if (what == CURL_POLL_REMOVE) {
    ::epoll_ctl(engine.epollFd_, EPOLL_CTL_DEL, socket, nullptr);
    return 0;
  }
  epoll_event event{};
  event.data.fd = socket;
  if (what & CURL_POLL_IN) event.events |= EPOLLIN;
  if (what & CURL_POLL_OUT) event.events |= EPOLLOUT;
  if (::epoll_ctl(engine.epollFd_, EPOLL_CTL_MOD, socket, &event) != 0 && errno == ENOENT) {
    ::epoll_ctl(engine.epollFd_, EPOLL_CTL_ADD, socket, &event);
  }
  return 0;
}

int Engine::onTimer(CURLM*, long timeoutMs, void* user) {
  auto& engine = *static_cast<Engine*>(user);
  if (timeoutMs < 0) {
    engine.timerDue_.reset();
  } else {
    engine.timerDue_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  }
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Commands from other threads

void Engine::start(std::shared_ptr<URLSessionTask> task) {
  // When the engine is idle the caller sends the request itself: the session thread then
  // wakes only for the answer. A file or stream body is read on the session thread, never here.
  if (!task->uploadFile_ && !task->originalRequest().httpBodyStream && !commandsPending_.load()) {
    std::unique_lock lock(engineMutex_, std::try_to_lock);
    if (lock.owns_lock() && !commandsPending_.load() && !stopping_) {
      begin(task);
      drive();
      const bool sooner = timerDue_ && *timerDue_ < waitingUntil_;
      if (polling_.load() && (sooner || !delegateBlocks_.empty())) wake();
      return;
    }
  }
  post([this, task = std::move(task)] { begin(task); });
}

void Engine::setSuspended(std::shared_ptr<URLSessionTask> task, bool suspended) {
  post([this, task = std::move(task), suspended] {
    if (Transfer* t = find(task->taskIdentifier())) {
      t->suspended = suspended;
      t->touch();
      applyPause(*t);
    }
  });
}

void Engine::cancel(std::shared_ptr<URLSessionTask> task) {
  post([this, task = std::move(task)] {
    Transfer* t = find(task->taskIdentifier());
    if (t == nullptr) {
      if (task->state() == URLSessionTask::State::completed) return;
      t = &adopt(task);  // never resumed: it still completes, cancelled
    }
    complete(*t, NSError::urlError(NSURLErrorCancelled, t->urlText()));
  });
}

void Engine::invalidate(std::shared_ptr<URLSession> session, bool cancelTasks) {
  post([this, session = std::move(session), cancelTasks] {
    if (invalidating_) return;
    invalidating_ = true;
    invalidatedSession_ = session;
    if (cancelTasks) {
      std::vector<std::uint64_t> ids;
      for (const auto& [id, t] : transfers_) ids.push_back(id);
      for (auto id : ids) {
        if (Transfer* t = find(id)) {
          complete(*t, NSError::urlError(NSURLErrorCancelled, t->urlText()));
        }
      }
    }
    checkInvalidation();
  });
}

void Engine::respond(std::shared_ptr<URLSessionTask> task, bool allow) {
  post([this, task = std::move(task), allow] {
    Transfer* t = find(task->taskIdentifier());
    if (t != nullptr && t->awaitingDisposition) answer(*t, allow);
  });
}

void Engine::redirectDecided(std::shared_ptr<URLSessionTask> task,
                             std::optional<URLRequest> request) {
  post([this, task = std::move(task), request = std::move(request)] {
    Transfer* t = find(task->taskIdentifier());
    if (t == nullptr || !t->awaitingRedirect) return;
    t->awaitingRedirect = false;
    if (request) {
      follow(*t, *request);
    } else {
      refuseRedirect(*t);
    }
  });
}

// ---------------------------------------------------------------------------------------------
// Transfers

Transfer* Engine::find(std::uint64_t id) {
  auto it = transfers_.find(id);
  return it == transfers_.end() ? nullptr : it->second.get();
}

Transfer& Engine::adopt(const std::shared_ptr<URLSessionTask>& task) {
  auto owned = std::make_unique<Transfer>(task->originalRequest());
  Transfer& t = *owned;
  t.engine = this;
  t.weakEngine = weak_from_this();
  t.cookies = cookies_;
  t.task = task;
  t.session = task->session_;
  t.id = task->taskIdentifier();
  auto delegate = t.session->delegate();
  t.taskDelegate = std::dynamic_pointer_cast<URLSessionTaskDelegate>(delegate);
  if (task->completion_) {
    t.mode = Mode::completion;
  } else if (task->kind_ == URLSessionTask::Kind::download) {
    t.mode = Mode::download;
    t.downloadDelegate = std::dynamic_pointer_cast<URLSessionDownloadDelegate>(delegate);
  } else {
    t.mode = Mode::dataDelegate;
    t.dataDelegate = std::dynamic_pointer_cast<URLSessionDataDelegate>(delegate);
  }
  transfers_.emplace(t.id, std::move(owned));
  return t;
}

void Engine::begin(const std::shared_ptr<URLSessionTask>& task) {
  if (find(task->taskIdentifier()) != nullptr) return;
  Transfer& t = adopt(task);
  if (invalidating_) return complete(t, NSError::urlError(NSURLErrorCancelled, t.urlText()));
  if (auto error = checkLoadable(t.request)) return complete(t, std::move(error));

  // An upload task's body is the one given to the session, never the request's own.
  if (task->uploadFile_ || task->uploadData_) {
    t.request.httpBody.reset();
    t.request.httpBodyStream.reset();
  }
  if (task->uploadFile_) {
    const std::string& path = *task->uploadFile_;
    t.bodyFile = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    const int openError = t.bodyFile == nullptr ? errno : 0;
    struct stat info {};
    if (t.bodyFile == nullptr || ::fstat(::fileno(t.bodyFile), &info) != 0 ||
        !S_ISREG(info.st_mode)) {
      const int code =
          openError == EACCES ? NSURLErrorNoPermissionsToReadFile : NSURLErrorFileDoesNotExist;
      return complete(t, NSError::urlError(code, t.urlText()));
    }
    t.hasBody = true;
    t.bodySize = info.st_size;
  } else if (task->uploadData_) {
    t.hasBody = true;
    t.bodyData = task->uploadData_;
  } else if (t.request.httpBody) {
    t.hasBody = true;
    t.bodyData = std::make_shared<const Data>(*t.request.httpBody);
  } else if (t.request.httpBodyStream) {
    t.hasBody = true;
    t.bodyStream = t.request.httpBodyStream;
    t.bodySize = declaredLength(t.request).value_or(NSURLSessionTransferSizeUnknown);
    t.bodyStream->open();
  }
  if (t.bodyData) t.bodySize = static_cast<std::int64_t>(t.bodyData->size());
  if (t.hasBody && isBodiless(t.request.httpMethod)) {
    // The platform refuses a body on a GET rather than drop it unseen.
    return complete(t, NSError::urlError(NSURLErrorDataLengthExceedsMaximum, t.urlText()));
  }
  t.suspended = task->state() == URLSessionTask::State::suspended;
  startHop(t);
}

CURL* Engine::acquire() {
  if (!idle_.empty()) {
    CURL* easy = idle_.back();
    idle_.pop_back();
    return easy;
  }
  return curl_easy_init();
}

void Engine::release(CURL* easy) {
  // Forget the finished transfer's callbacks, buffers and lists before anything else can
  // reach them. curl_easy_reset drops the cookie file list without freeing it, so that goes
  // first (with the shared jar this only detaches the handle; the cookies stay).
  if (cookies_) curl_easy_setopt(easy, CURLOPT_COOKIEFILE, static_cast<char*>(nullptr));
  curl_easy_reset(easy);
  if (idle_.size() < kIdleHandles) {
    idle_.push_back(easy);
  } else {
    curl_easy_cleanup(easy);
  }
}

void Engine::startHop(Transfer& t) {
  t.status = 0;
  t.httpVersion.reset();
  t.fields.clear();
  t.headersDone = false;
  t.redirectTarget.reset();
  t.redirectResponse.reset();
  t.redirectBody.clear();
  t.lastUp = t.lastDown = 0;
  t.bodyOffset = 0;
  t.bodyBytesRead = 0;
  if (t.bodyFile) std::fseek(t.bodyFile, 0, SEEK_SET);
  if (t.bodyStream && t.bodyStreamRead) {
    if (!t.bodyStream->setProperty(0, InputStream::PropertyKey::fileCurrentOffsetKey)) {
      return complete(t, NSError::urlError(NSURLErrorRequestBodyStreamExhausted, t.urlText()));
    }
    t.bodyStreamRead = false;
  }
  t.timeout = t.request.timeoutInterval > 0 ? t.request.timeoutInterval : 60.0;
  t.env = currentEnvironment();
  t.easy = acquire();
  if (t.easy == nullptr) return complete(t, NSError::urlError(NSURLErrorUnknown, t.urlText()));
  configure(t);
  t.touch();
  if (curl_multi_add_handle(multi_, t.easy) != CURLM_OK) {
    return complete(t, NSError::urlError(NSURLErrorUnknown, t.urlText()));
  }
  applyPause(t);
}

void Engine::configure(Transfer& t) {
  CURL* e = t.easy;
  curl_easy_setopt(e, CURLOPT_PRIVATE, &t);
  curl_easy_setopt(e, CURLOPT_SHARE, cookies_ ? cookieShare() : plainShare());
  // The shared jar is used only with the cookie engine on; "" loads no file.
  if (cookies_) curl_easy_setopt(e, CURLOPT_COOKIEFILE, "");
  curl_easy_setopt(e, CURLOPT_URL, t.request.url->absoluteString().c_str());
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "https");
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  if (std::exchange(t.newConnection, false)) curl_easy_setopt(e, CURLOPT_FRESH_CONNECT, 1L);
  t.errorText[0] = 0;
  curl_easy_setopt(e, CURLOPT_ERRORBUFFER, t.errorText);

  // Verification is never switched off; only the trust anchors may change.
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(e, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
  if (t.env->connectTo) curl_easy_setopt(e, CURLOPT_CONNECT_TO, t.env->connectTo);
  if (t.env->anchorsPem) {
    curl_blob blob{const_cast<char*>(t.env->anchorsPem->data()), t.env->anchorsPem->size(),
                   CURL_BLOB_COPY};
    curl_easy_setopt(e, CURLOPT_CAINFO_BLOB, &blob);
    curl_easy_setopt(e, CURLOPT_CAINFO, static_cast<char*>(nullptr));
    curl_easy_setopt(e, CURLOPT_CAPATH, static_cast<char*>(nullptr));
  }

  const std::string method = t.request.httpMethod.empty() ? "GET" : t.request.httpMethod;
  if (method == "GET") {
    curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
  } else if (method == "HEAD") {
    curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
  } else {
    curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, method.c_str());
    if (t.hasBody || method == "POST" || method == "PUT" || method == "PATCH") {
      // Sent through the read callback, so a file body streams; as an upload libcurl adds no
      // form Content-Type of its own, and a missing body still goes out as Content-Length: 0.
      curl_easy_setopt(e, CURLOPT_UPLOAD, 1L);
      curl_easy_setopt(e, CURLOPT_INFILESIZE_LARGE,
                       static_cast<curl_off_t>(t.hasBody ? t.bodySize : 0));
      curl_easy_setopt(e, CURLOPT_READFUNCTION, &Engine::onRead);
      curl_easy_setopt(e, CURLOPT_READDATA, &t);
      curl_easy_setopt(e, CURLOPT_SEEKFUNCTION, &Engine::onSeek);
      curl_easy_setopt(e, CURLOPT_SEEKDATA, &t);
    }
  }

  curl_slist_free_all(t.headers);
  t.headers = nullptr;
  auto add = [&](const std::string& line) {
    if (curl_slist* next = curl_slist_append(t.headers, line.c_str())) t.headers = next;
  };
  for (const auto& [name, value] : t.request.orderedHTTPHeaderFields()) {
    if (!sendable(name, value)) continue;
    // libcurl drops "Name:" as a removal; "Name;" is its spelling of an empty header.
    add(value.empty() ? name + ";" : name + ": " + value);
  }
  if (!t.request.value("Content-Type")) add("Content-Type:");
  if (!t.request.value("Expect")) add("Expect:");
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, t.headers);

  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Engine::onHeader);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, &t);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Engine::onWrite);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &t);
  curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, &Engine::onProgress);
  curl_easy_setopt(e, CURLOPT_XFERINFODATA, &t);
  curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
  if (t.env->trace) {
    curl_easy_setopt(e, CURLOPT_DEBUGFUNCTION, &Engine::onDebug);
    curl_easy_setopt(e, CURLOPT_DEBUGDATA, &t);
    curl_easy_setopt(e, CURLOPT_VERBOSE, 1L);
  }
}

long Engine::endHop(Transfer& t) {
  if (t.easy == nullptr) return 0;
  long connects = 0;
  if (curl_easy_getinfo(t.easy, CURLINFO_NUM_CONNECTS, &connects) == CURLE_OK && connects > 0) {
    connections_ += static_cast<std::uint64_t>(connects);
  }
  curl_multi_remove_handle(multi_, t.easy);
  release(t.easy);
  t.easy = nullptr;
  curl_slist_free_all(t.headers);
  t.headers = nullptr;
  return connects;
}

void Engine::finished(Transfer& t, CURLcode code) {
  if (code == CURLE_OK && t.hasBody) {
    curl_off_t sent = 0;
    curl_easy_getinfo(t.easy, CURLINFO_SIZE_UPLOAD_T, &sent);
    reportSent(t, sent);
  }
  const bool reused = endHop(t) == 0;
  if (t.localError) return complete(t, t.localError);
  // A kept-alive connection the server has closed can still pass for open; libcurl then tries
  // other cached ones, which may be just as closed. Before any answer the request was not
  // served: send it once more, on a new connection.
  const bool lost =
      code == CURLE_SEND_ERROR || code == CURLE_RECV_ERROR || code == CURLE_GOT_NOTHING;
  if (lost && reused && t.status == 0 && !t.retriedOnNewConnection) {
    t.retriedOnNewConnection = true;
    t.newConnection = true;
    return startHop(t);
  }
  if (code != CURLE_OK) return complete(t, t.errorFor(code));
  if (t.redirectTarget) return redirect(t);
  if (t.awaitingDisposition) {
    t.heldEnd = true;
    return;
  }
  complete(t, std::nullopt);
}

void Engine::redirect(Transfer& t) {
  if (++t.redirects > kMaxRedirects) {
    return complete(t, NSError::urlError(NSURLErrorHTTPTooManyRedirects, t.urlText()));
  }
  URLRequest next = t.request;
  next.url = *t.redirectTarget;
  const int status = t.redirectResponse->statusCode();
  const std::string& method = t.request.httpMethod;
  if ((status == 303 && method != "HEAD") ||
      ((status == 301 || status == 302) && method == "POST")) {
    next.httpMethod = "GET";
    next.httpBody.reset();
    next.httpBodyStream.reset();
    next.setValue(std::nullopt, "Content-Type");
    next.setValue(std::nullopt, "Content-Length");
  }
  // Credentials meant for one origin are not handed to another.
  if (!(originOf(*t.request.url) == originOf(*next.url))) {
    next.setValue(std::nullopt, "Authorization");
  }
  if (!t.taskDelegate) return follow(t, next);

  t.awaitingRedirect = true;
  auto once = std::make_shared<std::atomic<bool>>(false);
  auto handler = [weak = t.weakEngine, task = t.task, once](std::optional<URLRequest> request) {
    if (once->exchange(true)) return;
    if (auto engine = weak.lock()) engine->redirectDecided(task, std::move(request));
  };
  t.enqueue([delegate = t.taskDelegate, session = t.session, task = t.task,
             response = t.redirectResponse, next = std::move(next), handler = std::move(handler)] {
    delegate->willPerformHTTPRedirection(session, task, response, next, handler);
  });
}

void Engine::follow(Transfer& t, const URLRequest& request) {
  if (auto error = checkLoadable(request)) return complete(t, std::move(error));
  t.request = request;
  t.retriedOnNewConnection = false;
  {
    std::lock_guard lock(t.task->mutex_);
    t.task->currentRequest_ = request;
  }
  if (isBodiless(request.httpMethod)) {
    t.hasBody = false;
    t.bodyData.reset();
    t.closeBody();
  } else if (request.httpBody) {
    t.closeBody();
    t.hasBody = true;
    t.bodyData = std::make_shared<const Data>(*request.httpBody);
    t.bodySize = static_cast<std::int64_t>(t.bodyData->size());
  }
  startHop(t);
}

void Engine::refuseRedirect(Transfer& t) {
  auto response = std::move(t.redirectResponse);
  Data body = std::move(t.redirectBody);
  t.redirectTarget.reset();
  t.redirectResponse.reset();
  t.redirectBody.clear();
  if (!publish(t, response)) return complete(t, t.localError);
  if (t.awaitingDisposition) {
    t.heldBody = std::move(body);
    t.heldEnd = true;
    return;
  }
  if (!body.empty() && !deliver(t, body.data(), body.size())) return complete(t, t.localError);
  complete(t, std::nullopt);
}

void Engine::answer(Transfer& t, bool allow) {
  t.awaitingDisposition = false;
  if (!allow) return complete(t, NSError::urlError(NSURLErrorCancelled, t.urlText()));
  if (t.heldBody) {
    Data body = std::move(*t.heldBody);
    t.heldBody.reset();
    if (!body.empty() && !deliver(t, body.data(), body.size())) {
      return complete(t, t.localError);
    }
  }
  if (t.heldEnd) return complete(t, std::nullopt);
  t.touch();
  if (t.receivePaused) {
    t.receivePaused = false;
    applyPause(t);
  }
}

void Engine::applyPause(Transfer& t) {
  if (t.easy == nullptr) return;
  int mask = (t.suspended ? CURLPAUSE_ALL : 0) | (t.receivePaused ? CURLPAUSE_RECV : 0);
  curl_easy_pause(t.easy, mask == 0 ? CURLPAUSE_CONT : mask);
}

void Engine::complete(Transfer& t, std::optional<NSError> error) {
  endHop(t);
  t.closeBody();
  if (t.out) std::fclose(t.out);
  t.out = nullptr;
  std::string file;
  if (!error && t.mode == Mode::download && t.downloadDelegate) file = std::exchange(t.outPath, {});

  {
    std::lock_guard lock(t.task->mutex_);
    t.task->state_ = URLSessionTask::State::completed;
    t.task->error_ = error;
  }
  if (t.mode == Mode::completion) {
    std::optional<Data> data;
    if (!error) data = std::move(t.buffer);
    // Moved out, so whatever the handler holds is released once it has run.
    t.enqueue([handler = std::move(t.task->completion_), task = t.task, session = t.session,
               data = std::move(data), response = std::shared_ptr<URLResponse>(t.response),
               error] { handler(data, response, error); });
  } else if (t.taskDelegate || !file.empty()) {
    t.enqueue([session = t.session, task = t.task, taskDelegate = t.taskDelegate,
               downloadDelegate = t.downloadDelegate, file, error] {
      if (!file.empty()) {
        downloadDelegate->didFinishDownloadingTo(
            session, std::static_pointer_cast<URLSessionDownloadTask>(task),
            URL::fileURLWithPath(file, false));
        ::unlink(file.c_str());
      }
      if (taskDelegate) taskDelegate->didCompleteWithError(session, task, error);
    });
  }
  transfers_.erase(t.id);  // `t` is gone from here on
  checkInvalidation();
}

void Engine::checkTimeouts() {
  const double now = monotonicNow();
  std::vector<std::uint64_t> late;
  for (const auto& [id, t] : transfers_) {
    if (t->easy && !t->suspended && !t->awaitingDisposition &&
        now - t->lastActivity >= t->timeout) {
      late.push_back(id);
    }
  }
  for (auto id : late) {
    if (Transfer* t = find(id)) complete(*t, NSError::urlError(NSURLErrorTimedOut, t->urlText()));
  }
}

long Engine::pollTimeoutMs() const {
  double wait = kIdlePollMs / 1000.0;
  const double now = monotonicNow();
  if (timerDue_) {
    wait = std::min(
        wait, std::chrono::duration<double>(*timerDue_ - std::chrono::steady_clock::now()).count());
    if (wait <= 0) return 0;
  }
  for (const auto& [id, t] : transfers_) {
    if (t->easy && !t->suspended && !t->awaitingDisposition) {
      wait = std::min(wait, t->lastActivity + t->timeout - now);
    }
  }
  return std::clamp(static_cast<long>(wait * 1000.0) + 1, 1L, kIdlePollMs);
}

void Engine::checkInvalidation() {
  if (!invalidatedSession_ || !transfers_.empty()) return;
  auto session = std::move(invalidatedSession_);
  invalidatedSession_.reset();
  auto delegate = session->delegate();
  toDelegateQueue(*session, [session, delegate] {
    if (delegate) delegate->didBecomeInvalidWithError(session, std::nullopt);
    session->releaseDelegate();
  });
}

// ---------------------------------------------------------------------------------------------
// libcurl callbacks

std::size_t Engine::onHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  t.touch();
  std::string_view line(data, n);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (line.starts_with("HTTP/")) {
    // A new header block: an interim 1xx answer may come before the real one.
    t.fields.clear();
    t.headersDone = false;
    t.status = 0;
    const auto space = line.find(' ');
    t.httpVersion = std::string(line.substr(0, space));
    if (space != std::string_view::npos) {
      const auto code = line.substr(space + 1, 3);
      std::from_chars(code.data(), code.data() + code.size(), t.status);
    }
    return n;
  }
  if (t.headersDone || t.status == 0) return n;  // trailers
  if (line.empty()) return endOfHeaders(t) ? n : 0;
  if ((line.front() == ' ' || line.front() == '\t') && !t.fields.empty()) {
    t.fields.back().second += " " + std::string(trimmed(line));
    return n;
  }
  const auto colon = line.find(':');
  if (colon == std::string_view::npos) return n;
  t.fields.emplace_back(std::string(line.substr(0, colon)),
                        std::string(trimmed(line.substr(colon + 1))));
  return n;
}

bool Engine::endOfHeaders(Transfer& t) {
  if (t.status < 200) return true;
  t.headersDone = true;
  auto response =
      std::make_shared<HTTPURLResponse>(*t.request.url, t.status, t.httpVersion, t.fields);
  if (t.cookies && response->value("Set-Cookie")) cookiesReceived();
  if (isRedirectStatus(t.status)) {
    if (auto location = response->value("Location")) {
      if (auto target = resolve(*t.request.url, *location)) {
        t.redirectTarget = std::move(target);
        t.redirectResponse = std::move(response);
        return true;
      }
    }
  }
  return publish(t, std::move(response));
}

bool Engine::publish(Transfer& t, std::shared_ptr<HTTPURLResponse> response) {
  t.response = response;
  {
    std::lock_guard lock(t.task->mutex_);
    t.task->response_ = response;
  }
  if (t.mode == Mode::dataDelegate && t.dataDelegate) {
    t.awaitingDisposition = true;
    auto once = std::make_shared<std::atomic<bool>>(false);
    auto handler = [weak = t.weakEngine, task = t.task, once](URLSession::ResponseDisposition d) {
      if (once->exchange(true)) return;
      if (auto engine = weak.lock()) {
        engine->respond(task, d == URLSession::ResponseDisposition::allow);
      }
    };
    t.enqueue([delegate = t.dataDelegate, session = t.session,
               task = std::static_pointer_cast<URLSessionDataTask>(t.task), response,
               handler = std::move(handler)] {
      delegate->didReceiveResponse(session, task, response, handler);
    });
  } else if (t.mode == Mode::download && t.out == nullptr) {
    std::string path =
        FileManager::defaultManager().temporaryDirectory().path() + "/CFNetworkDownload_XXXXXX.tmp";
    const int fd = ::mkstemps(path.data(), 4);
    t.out = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
    if (t.out == nullptr) {
      if (fd >= 0) ::close(fd);
      if (fd >= 0) ::unlink(path.c_str());
      t.localError = NSError::urlError(NSURLErrorCannotCreateFile, t.urlText());
      return false;
    }
    t.outPath = std::move(path);
  }
  return true;
}

std::size_t Engine::onWrite(char* data, std::size_t size, std::size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  t.touch();
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
  if (t.redirectTarget) {
    t.redirectBody.insert(t.redirectBody.end(), bytes, bytes + n);
    return n;
  }
  if (t.awaitingDisposition) {
    t.receivePaused = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  return deliver(t, bytes, n) ? n : 0;
}

bool Engine::deliver(Transfer& t, const std::uint8_t* bytes, std::size_t size) {
  switch (t.mode) {
    case Mode::completion:
      t.buffer.insert(t.buffer.end(), bytes, bytes + size);
      return true;
    case Mode::dataDelegate:
      if (t.dataDelegate) {
        t.enqueue([delegate = t.dataDelegate, session = t.session,
                   task = std::static_pointer_cast<URLSessionDataTask>(t.task),
                   piece = Data(bytes, bytes + size)] {
          delegate->didReceiveData(session, task, piece);
        });
      }
      return true;
    case Mode::download:
      if (t.out == nullptr || std::fwrite(bytes, 1, size, t.out) != size) {
        t.localError = NSError::urlError(NSURLErrorCannotWriteToFile, t.urlText());
        return false;
      }
      t.written += static_cast<std::int64_t>(size);
      if (t.downloadDelegate) {
        t.enqueue([delegate = t.downloadDelegate, session = t.session,
                   task = std::static_pointer_cast<URLSessionDownloadTask>(t.task),
                   n = static_cast<std::int64_t>(size), total = t.written,
                   expected = t.response ? t.response->expectedContentLength()
                                         : NSURLSessionTransferSizeUnknown] {
          delegate->didWriteData(session, task, n, total, expected);
        });
      }
      return true;
  }
  return false;
}

std::size_t Engine::onRead(char* data, std::size_t size, std::size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const std::size_t want = size * count;
  if (t.bodyFile) {
    const std::size_t got = std::fread(data, 1, want, t.bodyFile);
    if (got == 0 && std::ferror(t.bodyFile)) return CURL_READFUNC_ABORT;
    return got;
  }
  if (t.bodyStream) {
    const std::ptrdiff_t got = t.bodyStream->read(reinterpret_cast<std::uint8_t*>(data), want);
    if (got < 0) {
      t.localError = t.bodyStream->streamError().value_or(
          NSError::urlError(NSURLErrorRequestBodyStreamExhausted, t.urlText()));
      return CURL_READFUNC_ABORT;
    }
    if (got > 0) t.bodyStreamRead = true;
    t.bodyBytesRead += got;
    return static_cast<std::size_t>(got);
  }
  if (t.bodyData) {
    const std::size_t n = std::min(want, t.bodyData->size() - t.bodyOffset);
    std::copy_n(t.bodyData->data() + t.bodyOffset, n, data);
    t.bodyOffset += n;
    return n;
  }
  return 0;
}

int Engine::onSeek(void* user, curl_off_t offset, int origin) {
  auto& t = *static_cast<Transfer*>(user);
  if (origin != SEEK_SET || offset < 0 || (t.bodySize >= 0 && offset > t.bodySize)) {
    return CURL_SEEKFUNC_CANTSEEK;
  }
  if (t.bodyFile) {
    return ::fseeko(t.bodyFile, static_cast<off_t>(offset), SEEK_SET) == 0 ? CURL_SEEKFUNC_OK
                                                                           : CURL_SEEKFUNC_FAIL;
  }
  if (t.bodyStream) {
    if (offset == 0 && !t.bodyStreamRead) return CURL_SEEKFUNC_OK;
    if (!t.bodyStream->setProperty(offset, InputStream::PropertyKey::fileCurrentOffsetKey)) {
      return CURL_SEEKFUNC_CANTSEEK;
    }
    t.bodyStreamRead = offset > 0;
    t.bodyBytesRead = offset;
    return CURL_SEEKFUNC_OK;
  }
  t.bodyOffset = static_cast<std::size_t>(offset);
  return CURL_SEEKFUNC_OK;
}

int Engine::onProgress(void* user, curl_off_t, curl_off_t dlnow, curl_off_t, curl_off_t ulnow) {
  auto& t = *static_cast<Transfer*>(user);
  if (ulnow > t.lastUp || dlnow > t.lastDown) {
    t.lastUp = std::max(t.lastUp, ulnow);
    t.lastDown = std::max(t.lastDown, dlnow);
    t.touch();
  }
  if (t.hasBody) reportSent(t, ulnow);
  return 0;
}

void Engine::reportSent(Transfer& t, std::int64_t totalSent) {
  // A chunked body's count includes the chunk framing; the body bytes are at most those read.
  if (t.bodySize < 0) totalSent = std::min(totalSent, t.bodyBytesRead);
  // Only forward: a body sent again after a redirect does not count twice.
  if (totalSent <= t.reportedSent) return;
  const std::int64_t step = totalSent - t.reportedSent;
  t.reportedSent = totalSent;
  if (!t.taskDelegate) return;
  t.enqueue([delegate = t.taskDelegate, session = t.session, task = t.task, step, totalSent,
             expected = t.bodySize] {
    delegate->didSendBodyData(session, task, step, totalSent, expected);
  });
}

int Engine::onDebug(CURL*, curl_infotype type, char* data, std::size_t size, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  if (!t.env || !t.env->trace) return 0;
  NetworkTrace trace;
  switch (type) {
    case CURLINFO_TEXT:
      trace.kind = NetworkTrace::Kind::text;
      break;
    case CURLINFO_HEADER_OUT:
      trace.kind = NetworkTrace::Kind::headerOut;
      break;
    case CURLINFO_HEADER_IN:
      trace.kind = NetworkTrace::Kind::headerIn;
      break;
    default:
      return 0;
  }
  trace.session = reinterpret_cast<std::uintptr_t>(t.session.get());
  trace.taskIdentifier = t.id;
  trace.bytes.assign(data, size);
  (*t.env->trace)(trace);
  return 0;
}

}  // namespace Foundation::Networking
