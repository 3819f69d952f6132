#include "Foundation/URLSessionTask.hpp"

#include "Foundation/Networking/Engine.hpp"
#include "Foundation/URLSession.hpp"

namespace Foundation {

URLSessionTask::URLSessionTask(Kind kind, std::shared_ptr<URLSession> session,
                               std::uint64_t identifier, URLRequest request,
                               CompletionHandler completion)
    : kind_(kind),
      session_(std::move(session)),
      identifier_(identifier),
      originalRequest_(request),
      completion_(std::move(completion)),
      currentRequest_(std::move(request)) {}

URLSessionTask::State URLSessionTask::state() const {
  std::lock_guard lock(mutex_);
  return state_;
}

URLRequest URLSessionTask::currentRequest() const {
  std::lock_guard lock(mutex_);
  return currentRequest_;
}

std::shared_ptr<URLResponse> URLSessionTask::response() const {
  std::lock_guard lock(mutex_);
  return response_;
}

std::optional<NSError> URLSessionTask::error() const {
  std::lock_guard lock(mutex_);
  return error_;
}

void URLSessionTask::resume() {
  bool first = false;
  {
    std::lock_guard lock(mutex_);
    if (state_ != State::suspended) return;
    state_ = State::running;
    first = !started_;
    started_ = true;
  }
  if (first) {
    session_->engine_->start(shared_from_this());
  } else {
    session_->engine_->setSuspended(shared_from_this(), false);
  }
}

void URLSessionTask::suspend() {
  {
    std::lock_guard lock(mutex_);
    if (state_ != State::running) return;
    state_ = State::suspended;
  }
  session_->engine_->setSuspended(shared_from_this(), true);
}

void URLSessionTask::cancel() {
  {
    std::lock_guard lock(mutex_);
    if (state_ == State::canceling || state_ == State::completed) return;
    state_ = State::canceling;
  }
  session_->engine_->cancel(shared_from_this());
}

}  // namespace Foundation
