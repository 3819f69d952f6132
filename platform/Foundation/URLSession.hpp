#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "Foundation/Data.hpp"
#include "Foundation/OperationQueue.hpp"
#include "Foundation/URL.hpp"
#include "Foundation/URLRequest.hpp"
#include "Foundation/URLSessionConfiguration.hpp"
#include "Foundation/URLSessionTask.hpp"

namespace Foundation {

class URLSessionDelegate;
namespace Networking {
class DelegateSlot;
class Engine;
struct TaskState;
enum class TaskKind;
}  // namespace Networking

// Swift's URLSession over HTTPS (plain http is refused, as App Transport Security does).
// Each session moves its transfers on a thread of its own. Connections and TLS sessions are
// reused across the sessions of the process that keep cookies alike: a transfer takes an idle
// connection only if its TLS settings and route are those the connection was made with.
// Delegate calls and completion handlers run on the delegate queue, one at a time. Redirects
// are the session's: offered to the task delegate's willPerformHTTPRedirection, else followed
// (at most 20). Safe to use from any thread.
class URLSession : public std::enable_shared_from_this<URLSession> {
 public:
  enum class ResponseDisposition { cancel = 0, allow = 1 };
  using CompletionHandler = URLSessionTask::CompletionHandler;

  // Swift `URLSession.shared`: default configuration, no delegate; cannot be invalidated.
  static const std::shared_ptr<URLSession>& shared();
  // Swift `URLSession(configuration:delegate:delegateQueue:)`. The configuration is copied.
  // Without a queue the session makes a serial one of its own, which the session's thread
  // serves while the queue is idle: code that blocks there holds up this session's transfers
  // (give a queue for such code). The delegate is held strongly until the session is
  // invalidated.
  static std::shared_ptr<URLSession> make(const URLSessionConfiguration& configuration,
                                          std::shared_ptr<URLSessionDelegate> delegate = nullptr,
                                          std::shared_ptr<OperationQueue> delegateQueue = nullptr);
  ~URLSession();
  URLSession(const URLSession&) = delete;
  URLSession& operator=(const URLSession&) = delete;

  // A copy: changing it changes nothing here.
  URLSessionConfiguration configuration() const { return configuration_; }
  // nullptr when there is none, or once the session is invalidated.
  std::shared_ptr<URLSessionDelegate> delegate() const;
  const std::shared_ptr<OperationQueue>& delegateQueue() const { return delegateQueue_; }

  // Delegate-driven data task.
  std::shared_ptr<URLSessionDataTask> dataTask(const URLRequest& request);
  std::shared_ptr<URLSessionDataTask> dataTask(const URL& url);
  // With a completion handler instead of the data delegate (the task delegate still hears
  // redirects and body progress).
  std::shared_ptr<URLSessionDataTask> dataTask(const URLRequest& request,
                                               CompletionHandler completionHandler);
  std::shared_ptr<URLSessionDataTask> dataTask(const URL& url, CompletionHandler completionHandler);
  // Swift `uploadTask(with:from:)`: the bytes are the body (the request's own body is ignored).
  std::shared_ptr<URLSessionUploadTask> uploadTask(const URLRequest& request, Data bodyData,
                                                   CompletionHandler completionHandler = nullptr);
  // Swift `uploadTask(with:fromFile:)`: the file is streamed as it is sent.
  std::shared_ptr<URLSessionUploadTask> uploadTask(const URLRequest& request, const URL& fileURL,
                                                   CompletionHandler completionHandler = nullptr);
  std::shared_ptr<URLSessionDownloadTask> downloadTask(const URLRequest& request);
  std::shared_ptr<URLSessionDownloadTask> downloadTask(const URL& url);

  // Running tasks finish; then the delegate hears didBecomeInvalidWithError and is released.
  // Tasks resumed afterwards end with NSURLErrorCancelled.
  void finishTasksAndInvalidate();
  // The same, cancelling the running tasks first.
  void invalidateAndCancel();

  // Connections this session has opened so far (reused ones not counted, whichever session
  // opened them); for measurements.
  std::uint64_t newConnectionCount() const;

 private:
  URLSession(const URLSessionConfiguration& configuration,
             std::shared_ptr<URLSessionDelegate> delegate,
             std::shared_ptr<OperationQueue> delegateQueue, bool isShared);
  std::uint64_t nextIdentifier() { return ++lastIdentifier_; }
  std::shared_ptr<Networking::TaskState> taskState(Networking::TaskKind kind,
                                                   const URLRequest& request,
                                                   CompletionHandler completionHandler);

  const URLSessionConfiguration configuration_;
  const std::shared_ptr<OperationQueue> delegateQueue_;
  const bool isShared_;
  const std::shared_ptr<Networking::DelegateSlot> delegate_;
  std::atomic<std::uint64_t> lastIdentifier_{0};
  std::shared_ptr<Networking::Engine> engine_;
  std::thread thread_;
};

}  // namespace Foundation
