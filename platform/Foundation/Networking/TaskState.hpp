// What a URL session task shares with its session's engine: the task's side stays behind
// URLSessionTask's operations, the engine reads and sets the rest. Private to the platform.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "Foundation/Data.hpp"
#include "Foundation/NSError.hpp"
#include "Foundation/URLRequest.hpp"
#include "Foundation/URLSessionTask.hpp"

namespace Foundation {
class URLSessionDelegate;
}

namespace Foundation::Networking {

class Engine;

enum class TaskKind { data, upload, download };

struct TaskState {
  TaskState(TaskKind k, std::shared_ptr<URLSession> s, std::shared_ptr<Engine> e,
            URLRequest request, URLSessionTask::CompletionHandler handler)
      : kind(k),
        session(std::move(s)),
        engine(std::move(e)),
        completion(std::move(handler)),
        currentRequest(std::move(request)) {}

  const TaskKind kind;
  // Held so the session (and its delegate) lives as long as the task.
  const std::shared_ptr<URLSession> session;
  const std::shared_ptr<Engine> engine;
  // None: the delegate hears everything. Let go once called (session thread only before that).
  URLSessionTask::CompletionHandler completion;
  // An upload task's body, set by the session before the task is handed out.
  std::shared_ptr<const Data> uploadData;
  std::optional<std::string> uploadFile;

  mutable std::mutex mutex;  // guards what follows
  URLSessionTask::State state = URLSessionTask::State::suspended;
  bool started = false;
  URLRequest currentRequest;
  std::shared_ptr<URLResponse> response;
  std::optional<NSError> error;
};

// A session's delegate, held strongly until the session has been invalidated.
class DelegateSlot {
 public:
  explicit DelegateSlot(std::shared_ptr<URLSessionDelegate> delegate)
      : delegate_(std::move(delegate)) {}
  std::shared_ptr<URLSessionDelegate> get() const {
    std::lock_guard lock(mutex_);
    return delegate_;
  }
  void release() {
    std::shared_ptr<URLSessionDelegate> released;
    std::lock_guard lock(mutex_);
    released.swap(delegate_);
  }

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<URLSessionDelegate> delegate_;
};

}  // namespace Foundation::Networking
