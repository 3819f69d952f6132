#include "NetworkTest.hpp"

#include <Foundation/Thread.hpp>

#include <strings.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/RunLoopSupport.hpp"

namespace nettest {

URL url(const std::string& text) {
  auto u = URL::string(text);
  EXPECT_TRUE(u.has_value()) << text;
  return u ? *u : *URL::string("https://invalid.invalid/");
}

std::string text(const Data& data) {
  return std::string(data.begin(), data.end());
}

nlohmann::json json(const Data& data) {
  return nlohmann::json::parse(data.begin(), data.end(), nullptr, false);
}

std::optional<std::string> echoedHeader(const nlohmann::json& echo, const std::string& name) {
  if (!echo.contains("headers")) return std::nullopt;
  for (const auto& pair : echo["headers"]) {
    const auto key = pair[0].get<std::string>();
    if (key.size() == name.size() && ::strcasecmp(key.c_str(), name.c_str()) == 0) {
      return pair[1].get<std::string>();
    }
  }
  return std::nullopt;
}

TempFile::TempFile(const std::string& content) {
  std::string pattern = (std::filesystem::temp_directory_path() / "zt-upload-XXXXXX").string();
  const int fd = ::mkstemp(pattern.data());
  if (fd >= 0) ::close(fd);
  path_ = pattern;
  std::ofstream(path_, std::ios::binary) << content;
}

TempFile::~TempFile() {
  std::filesystem::remove(path_);
}

Outcome load(const std::shared_ptr<URLSession>& session, const URLRequest& request,
             double seconds) {
  struct Shared {
    std::mutex mutex;
    std::optional<Outcome> outcome;
  };
  auto shared = std::make_shared<Shared>();
  auto queue = session->delegateQueue();
  auto task = session->dataTask(request, [shared, queue](std::optional<Data> data,
                                                         std::shared_ptr<URLResponse> response,
                                                         std::optional<NSError> error) {
    Outcome o{std::move(data), std::dynamic_pointer_cast<HTTPURLResponse>(response),
              std::move(error), OperationQueue::current() == queue.get(), Thread::isMainThread()};
    std::lock_guard lock(shared->mutex);
    shared->outcome = std::move(o);
  });
  task->resume();
  const bool done = zttest::runUntil(
      [&] {
        std::lock_guard lock(shared->mutex);
        return shared->outcome.has_value();
      },
      seconds);
  EXPECT_TRUE(done) << "no completion for " << request.url->absoluteString();
  std::lock_guard lock(shared->mutex);
  return shared->outcome.value_or(Outcome{});
}

// ---------------------------------------------------------------------------------------------

struct WireTrace::Store {
  mutable std::mutex mutex;
  std::vector<NetworkTrace> traces;
};

WireTrace::WireTrace() : store_(std::make_shared<Store>()) {
  NetworkEnvironment::setTraceHandler([store = store_](const NetworkTrace& trace) {
    std::lock_guard lock(store->mutex);
    store->traces.push_back(trace);
  });
}

WireTrace::~WireTrace() {
  NetworkEnvironment::setTraceHandler(nullptr);
}

std::vector<std::string> WireTrace::requestHeaders(
    const std::shared_ptr<URLSession>& session) const {
  std::vector<std::string> out;
  std::lock_guard lock(store_->mutex);
  for (const auto& t : store_->traces) {
    if (t.kind == NetworkTrace::Kind::headerOut &&
        t.session == reinterpret_cast<std::uintptr_t>(session.get())) {
      out.push_back(t.bytes);
    }
  }
  return out;
}

// ---------------------------------------------------------------------------------------------

void Recorder::record(Event event, const std::shared_ptr<URLSession>& session) {
  event.onDelegateQueue = OperationQueue::current() == session->delegateQueue().get();
  std::lock_guard lock(mutex_);
  events_.push_back(std::move(event));
}

void Recorder::willPerformHTTPRedirection(const std::shared_ptr<URLSession>& session,
                                          const std::shared_ptr<URLSessionTask>& task,
                                          const std::shared_ptr<HTTPURLResponse>& response,
                                          const URLRequest& newRequest,
                                          std::function<void(std::optional<URLRequest>)> handler) {
  Event e{Event::Kind::redirect, task->taskIdentifier(), response->statusCode(),
          newRequest.url ? newRequest.url->absoluteString() : ""};
  record(std::move(e), session);
  if (refuseRedirects) {
    handler(std::nullopt);
  } else {
    handler(newRequest);
  }
}

void Recorder::didSendBodyData(const std::shared_ptr<URLSession>& session,
                               const std::shared_ptr<URLSessionTask>& task, std::int64_t bytesSent,
                               std::int64_t totalBytesSent, std::int64_t totalBytesExpectedToSend) {
  Event e{Event::Kind::sent, task->taskIdentifier()};
  e.a = bytesSent;
  e.b = totalBytesSent;
  e.c = totalBytesExpectedToSend;
  record(std::move(e), session);
}

void Recorder::didCompleteWithError(const std::shared_ptr<URLSession>& session,
                                    const std::shared_ptr<URLSessionTask>& task,
                                    const std::optional<NSError>& error) {
  Event e{Event::Kind::completed, task->taskIdentifier()};
  e.error = error;
  record(std::move(e), session);
}

void Recorder::didReceiveResponse(const std::shared_ptr<URLSession>& session,
                                  const std::shared_ptr<URLSessionDataTask>& dataTask,
                                  const std::shared_ptr<URLResponse>& response,
                                  std::function<void(URLSession::ResponseDisposition)> handler) {
  auto http = std::dynamic_pointer_cast<HTTPURLResponse>(response);
  Event e{Event::Kind::response, dataTask->taskIdentifier(), http ? http->statusCode() : 0,
          response->url().absoluteString()};
  e.a = response->expectedContentLength();
  record(std::move(e), session);
  handler(cancelOnResponse ? URLSession::ResponseDisposition::cancel
                           : URLSession::ResponseDisposition::allow);
}

void Recorder::didReceiveData(const std::shared_ptr<URLSession>& session,
                              const std::shared_ptr<URLSessionDataTask>& dataTask,
                              const Data& data) {
  Event e{Event::Kind::data, dataTask->taskIdentifier()};
  e.a = static_cast<std::int64_t>(data.size());
  record(std::move(e), session);
  std::lock_guard lock(mutex_);
  body_.insert(body_.end(), data.begin(), data.end());
}

void Recorder::didFinishDownloadingTo(const std::shared_ptr<URLSession>& session,
                                      const std::shared_ptr<URLSessionDownloadTask>& downloadTask,
                                      const URL& location) {
  std::ifstream in(location.path(), std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  {
    std::lock_guard lock(mutex_);
    downloaded_ = content.str();
    downloadedPath_ = location.path();
  }
  record(Event{Event::Kind::finished, downloadTask->taskIdentifier()}, session);
}

void Recorder::didWriteData(const std::shared_ptr<URLSession>& session,
                            const std::shared_ptr<URLSessionDownloadTask>& downloadTask,
                            std::int64_t bytesWritten, std::int64_t totalBytesWritten,
                            std::int64_t totalBytesExpectedToWrite) {
  Event e{Event::Kind::wrote, downloadTask->taskIdentifier()};
  e.a = bytesWritten;
  e.b = totalBytesWritten;
  e.c = totalBytesExpectedToWrite;
  record(std::move(e), session);
}

void Recorder::didBecomeInvalidWithError(const std::shared_ptr<URLSession>& session,
                                         const std::optional<NSError>& error) {
  Event e{Event::Kind::invalid};
  e.error = error;
  record(std::move(e), session);
}

std::vector<Event> Recorder::events() const {
  std::lock_guard lock(mutex_);
  return events_;
}

std::vector<Event> Recorder::events(Event::Kind kind) const {
  std::vector<Event> out;
  for (auto& e : events()) {
    if (e.kind == kind) out.push_back(e);
  }
  return out;
}

Data Recorder::body() const {
  std::lock_guard lock(mutex_);
  return body_;
}

std::string Recorder::downloadedFile() const {
  std::lock_guard lock(mutex_);
  return downloaded_;
}

std::string Recorder::downloadedPath() const {
  std::lock_guard lock(mutex_);
  return downloadedPath_;
}

std::size_t Recorder::completedCount() const {
  return events(Event::Kind::completed).size();
}

bool Recorder::invalidated() const {
  return !events(Event::Kind::invalid).empty();
}

// ---------------------------------------------------------------------------------------------

void NetworkTest::SetUp() {
  sb().reset();
  NetworkEnvironment::reset();
  zttest::useSandbox();
  trustSandboxAfresh();
  HTTPCookieStorage::shared()->removeCookies(Date());
}

void NetworkTest::trustSandboxAfresh(const std::string& moreAnchors) {
  // Text outside a PEM block is ignored, but it makes the TLS settings differ.
  static std::atomic<std::uint64_t> configurations{0};
  NetworkEnvironment::setAnchorCertificates(sb().caPem() + moreAnchors + "\nconfiguration " +
                                            std::to_string(++configurations) + "\n");
}

void NetworkTest::TearDown() {
  HTTPCookieStorage::shared()->removeCookies(Date());
  NetworkEnvironment::reset();
}

}  // namespace nettest
