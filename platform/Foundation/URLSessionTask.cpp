#include "Foundation/URLSessionTask.hpp"

#include "Foundation/Networking/Engine.hpp"
#include "Foundation/Networking/TaskState.hpp"

namespace Foundation {

URLSessionTask::URLSessionTask(std::uint64_t identifier, URLRequest request,
                               std::shared_ptr<Networking::TaskState> state)
    : identifier_(identifier), originalRequest_(std::move(request)), state_(std::move(state)) {}

URLSessionTask::State URLSessionTask::state() const {
  std::lock_guard lock(state_->mutex);
  return state_->state;
}

URLRequest URLSessionTask::currentRequest() const {
  std::lock_guard lock(state_->mutex);
  return state_->currentRequest;
}

std::shared_ptr<URLResponse> URLSessionTask::response() const {
  std::lock_guard lock(state_->mutex);
  return state_->response;
}

std::optional<NSError> URLSessionTask::error() const {
  std::lock_guard lock(state_->mutex);
  return state_->error;
}

void URLSessionTask::resume() {
  bool first = false;
  {
    std::lock_guard lock(state_->mutex);
    if (state_->state != State::suspended) return;
    state_->state = State::running;
    first = !state_->started;
    state_->started = true;
  }
  if (first) {
    state_->engine->start(shared_from_this(), state_);
  } else {
    state_->engine->setSuspended(shared_from_this(), false);
  }
}

void URLSessionTask::suspend() {
  {
    std::lock_guard lock(state_->mutex);
    if (state_->state != State::running) return;
    state_->state = State::suspended;
  }
  state_->engine->setSuspended(shared_from_this(), true);
}

void URLSessionTask::cancel() {
  {
    std::lock_guard lock(state_->mutex);
    if (state_->state == State::canceling || state_->state == State::completed) return;
    state_->state = State::canceling;
  }
  state_->engine->cancel(shared_from_this(), state_);
}

}  // namespace Foundation
