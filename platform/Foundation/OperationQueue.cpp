#include "Foundation/OperationQueue.hpp"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "Dispatch/DispatchQueue.hpp"

namespace Foundation {

namespace {
thread_local OperationQueue* currentQueue = nullptr;
}

struct OperationQueue::State {
  std::mutex mutex;
  std::condition_variable cv;
  std::deque<std::function<void()>> operations;
  bool running = false;  // an operation is executing
  bool stopping = false;
  std::thread thread;
};

OperationQueue::OperationQueue(MainTag) {
  name = "NSOperationQueue Main Queue";
}

const std::shared_ptr<OperationQueue>& OperationQueue::main() {
  static auto* queue = new std::shared_ptr<OperationQueue>(new OperationQueue(MainTag{}));
  return *queue;
}

OperationQueue* OperationQueue::current() {
  if (currentQueue) return currentQueue;
  if (Dispatch::DispatchQueue::main().isCurrent()) return main().get();
  return nullptr;
}

OperationQueue::OperationQueue() : state_(std::make_shared<State>()) {
  auto state = state_;
  OperationQueue* self = this;
  state->thread = std::thread([state, self] {
    std::unique_lock lock(state->mutex);
    for (;;) {
      state->cv.wait(lock, [&] { return state->stopping || !state->operations.empty(); });
      if (state->operations.empty()) return;  // stopping and drained
      auto op = std::move(state->operations.front());
      state->operations.pop_front();
      state->running = true;
      const bool alive = !state->stopping;
      lock.unlock();
      currentQueue = alive ? self : nullptr;
      op();
      currentQueue = nullptr;
      lock.lock();
      state->running = false;
      state->cv.notify_all();
    }
  });
}

OperationQueue::~OperationQueue() {
  if (!state_) return;
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
    state_->cv.notify_all();
  }
  // Pending operations still run. The last owner may be one of this queue's own operations:
  // then the thread finishes by itself.
  if (state_->thread.get_id() == std::this_thread::get_id()) {
    currentQueue = nullptr;
    state_->thread.detach();
  } else {
    state_->thread.join();
  }
}

void OperationQueue::addOperation(std::function<void()> block) {
  if (!state_) {
    Dispatch::DispatchQueue::main().async(std::move(block));
    return;
  }
  std::lock_guard lock(state_->mutex);
  state_->operations.push_back(std::move(block));
  state_->cv.notify_all();
}

void OperationQueue::waitUntilAllOperationsAreFinished() {
  if (!state_) return;
  std::unique_lock lock(state_->mutex);
  state_->cv.wait(lock, [&] { return state_->operations.empty() && !state_->running; });
}

}  // namespace Foundation
