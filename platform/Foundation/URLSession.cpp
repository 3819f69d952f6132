#include "Foundation/URLSession.hpp"

#include "Foundation/Networking/Engine.hpp"
#include "Foundation/Networking/TaskState.hpp"
#include "Foundation/URLSessionDelegate.hpp"

namespace Foundation {

namespace {
std::shared_ptr<OperationQueue> ownQueue() {
  auto queue = std::make_shared<OperationQueue>();
  queue->name = "NSURLSession delegate queue";
  return queue;
}
}  // namespace

const std::shared_ptr<URLSession>& URLSession::shared() {
  // Never destroyed: tasks may still be running while the process exits.
  static auto* session = new std::shared_ptr<URLSession>(
      new URLSession(URLSessionConfiguration::defaultConfiguration(), nullptr, nullptr, true));
  return *session;
}

std::shared_ptr<URLSession> URLSession::make(const URLSessionConfiguration& configuration,
                                             std::shared_ptr<URLSessionDelegate> delegate,
                                             std::shared_ptr<OperationQueue> delegateQueue) {
  return std::shared_ptr<URLSession>(
      new URLSession(configuration, std::move(delegate), std::move(delegateQueue), false));
}

URLSession::URLSession(const URLSessionConfiguration& configuration,
                       std::shared_ptr<URLSessionDelegate> delegate,
                       std::shared_ptr<OperationQueue> delegateQueue, bool isShared)
    : configuration_(configuration),
      delegateQueue_(delegateQueue ? delegateQueue : ownQueue()),
      isShared_(isShared),
      delegate_(std::make_shared<Networking::DelegateSlot>(std::move(delegate))),
      // The session's own queue is served by the session's thread (no hand-over per call); a
      // queue the host gave keeps its own.
      engine_(std::make_shared<Networking::Engine>(configuration.httpCookieStorage != nullptr,
                                                   delegateQueue_, delegateQueue == nullptr,
                                                   delegate_)) {
  thread_ = std::thread([engine = engine_] { engine->run(); });
}

URLSession::~URLSession() {
  engine_->stop();
  // The last reference may go on the session's own thread, when a finished task lets go.
  if (thread_.get_id() == std::this_thread::get_id()) {
    thread_.detach();
  } else {
    thread_.join();
  }
}

std::shared_ptr<URLSessionDelegate> URLSession::delegate() const {
  return delegate_->get();
}

std::shared_ptr<Networking::TaskState> URLSession::taskState(Networking::TaskKind kind,
                                                             const URLRequest& request,
                                                             CompletionHandler completionHandler) {
  return std::make_shared<Networking::TaskState>(kind, shared_from_this(), engine_, request,
                                                 std::move(completionHandler));
}

std::shared_ptr<URLSessionDataTask> URLSession::dataTask(const URLRequest& request) {
  return dataTask(request, CompletionHandler());
}

std::shared_ptr<URLSessionDataTask> URLSession::dataTask(const URL& url) {
  return dataTask(URLRequest(url));
}

std::shared_ptr<URLSessionDataTask> URLSession::dataTask(const URLRequest& request,
                                                         CompletionHandler completionHandler) {
  return std::make_shared<URLSessionDataTask>(
      nextIdentifier(), request,
      taskState(Networking::TaskKind::data, request, std::move(completionHandler)));
}

std::shared_ptr<URLSessionDataTask> URLSession::dataTask(const URL& url,
                                                         CompletionHandler completionHandler) {
  return dataTask(URLRequest(url), std::move(completionHandler));
}

std::shared_ptr<URLSessionUploadTask> URLSession::uploadTask(const URLRequest& request,
                                                             Data bodyData,
                                                             CompletionHandler completionHandler) {
  auto state = taskState(Networking::TaskKind::upload, request, std::move(completionHandler));
  state->uploadData = std::make_shared<const Data>(std::move(bodyData));
  return std::make_shared<URLSessionUploadTask>(nextIdentifier(), request, std::move(state));
}

std::shared_ptr<URLSessionUploadTask> URLSession::uploadTask(const URLRequest& request,
                                                             const URL& fileURL,
                                                             CompletionHandler completionHandler) {
  auto state = taskState(Networking::TaskKind::upload, request, std::move(completionHandler));
  state->uploadFile = fileURL.isFileURL() ? fileURL.path() : std::string();
  return std::make_shared<URLSessionUploadTask>(nextIdentifier(), request, std::move(state));
}

std::shared_ptr<URLSessionDownloadTask> URLSession::downloadTask(const URLRequest& request) {
  return std::make_shared<URLSessionDownloadTask>(
      nextIdentifier(), request, taskState(Networking::TaskKind::download, request, nullptr));
}

std::shared_ptr<URLSessionDownloadTask> URLSession::downloadTask(const URL& url) {
  return downloadTask(URLRequest(url));
}

void URLSession::finishTasksAndInvalidate() {
  if (!isShared_) engine_->invalidate(shared_from_this(), false);
}

void URLSession::invalidateAndCancel() {
  if (!isShared_) engine_->invalidate(shared_from_this(), true);
}

std::uint64_t URLSession::newConnectionCount() const {
  return engine_->connectionCount();
}

}  // namespace Foundation
