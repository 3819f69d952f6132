#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "Foundation/Data.hpp"
#include "Foundation/HTTPURLResponse.hpp"
#include "Foundation/NSError.hpp"
#include "Foundation/URLRequest.hpp"

namespace Foundation {

class URLSession;
namespace Networking {
struct TaskState;
}

// A byte count the response did not announce (Swift `NSURLSessionTransferSizeUnknown`).
inline constexpr std::int64_t NSURLSessionTransferSizeUnknown = -1;

// Swift's URLSessionTask. Made by a session, suspended until resume(). Holds its session
// (and so its delegate) until it is released. Every operation is safe from any thread.
class URLSessionTask : public std::enable_shared_from_this<URLSessionTask> {
 public:
  enum class State { running = 0, suspended = 1, canceling = 2, completed = 3 };
  using CompletionHandler =
      std::function<void(std::optional<Data> data, std::shared_ptr<URLResponse> response,
                         std::optional<NSError> error)>;

  virtual ~URLSessionTask() = default;
  URLSessionTask(const URLSessionTask&) = delete;
  URLSessionTask& operator=(const URLSessionTask&) = delete;

  // Unique within its session.
  std::uint64_t taskIdentifier() const { return identifier_; }
  State state() const;
  // The request the task was made with.
  const URLRequest& originalRequest() const { return originalRequest_; }
  // The request being loaded: the original one until a redirect is followed.
  URLRequest currentRequest() const;
  // The final response once it has arrived (redirects followed do not count).
  std::shared_ptr<URLResponse> response() const;
  // Set when the task has completed with a failure.
  std::optional<NSError> error() const;

  // Starts the task, or continues a suspended one.
  void resume();
  // Pauses the transfer (no time-out runs meanwhile); resume() continues it.
  void suspend();
  // Ends the task with NSURLErrorCancelled, whatever its state short of completed.
  void cancel();

  // Made by a session: only a session can fill the state its engine shares with the task.
  URLSessionTask(std::uint64_t identifier, URLRequest request,
                 std::shared_ptr<Networking::TaskState> state);

 private:
  const std::uint64_t identifier_;
  const URLRequest originalRequest_;
  const std::shared_ptr<Networking::TaskState> state_;
};

// Swift's URLSessionDataTask: the body arrives in memory (completion handler) or piece by
// piece (data delegate).
class URLSessionDataTask : public URLSessionTask {
 public:
  using URLSessionTask::URLSessionTask;
};

// Swift's URLSessionUploadTask: a data task whose body comes from bytes or a file given to the
// session, streamed from the file as it is sent.
class URLSessionUploadTask : public URLSessionDataTask {
 public:
  using URLSessionDataTask::URLSessionDataTask;
};

// Swift's URLSessionDownloadTask: the body is written to a temporary file handed to the
// download delegate, and removed when the delegate call returns.
class URLSessionDownloadTask : public URLSessionTask {
 public:
  using URLSessionTask::URLSessionTask;
};

}  // namespace Foundation
