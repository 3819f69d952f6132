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
  std::condition_variable work;  // the queue's thread: something to run, or stopping
  std::condition_variable idle;  // waitUntilAllOperationsAreFinished
  std::deque<std::function<void()>> operations;
  bool running = false;  // an operation is executing, on the queue's thread or inline
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
      state->work.wait(lock, [&] {
        const bool idle = state->operations.empty();
        return (state->stopping && idle) || (!idle && !state->running);
      });
      if (state->operations.empty()) return;  // stopping and drained
      auto op = std::move(state->operations.front());
      state->operations.pop_front();
      state->running = true;
      const bool alive = !state->stopping;
      lock.unlock();
      currentQueue = alive ? self : nullptr;
      op();
      // What the operation held goes before the lock is taken again: it may be the last
      // reference to a session whose end takes locks of its own.
      op = nullptr;
      currentQueue = nullptr;
      lock.lock();
      state->running = false;
      state->idle.notify_all();
    }
  });
}

OperationQueue::~OperationQueue() {
  if (!state_) return;
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
    state_->work.notify_all();
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
  // Once the lock is released the operation may already have run and let go of this queue;
  // the state outlives it for the notification.
  const auto state = state_;
  {
    std::lock_guard lock(state->mutex);
    state->operations.push_back(std::move(block));
  }
  state->work.notify_one();
}

void OperationQueue::runHereOrAdd(std::function<void()> block) {
  if (!state_) return addOperation(std::move(block));
  const auto self = shared_from_this();  // the block may let go of every other owner
  {
    std::lock_guard lock(state_->mutex);
    if (state_->running || state_->stopping || !state_->operations.empty()) {
      state_->operations.push_back(std::move(block));
      state_->work.notify_one();
      return;
    }
    state_->running = true;
  }
  OperationQueue* const outer = currentQueue;
  currentQueue = this;
  block();
  block = nullptr;
  currentQueue = outer;
  bool more = false;
  {
    std::lock_guard lock(state_->mutex);
    state_->running = false;
    more = !state_->operations.empty();
  }
  // The queue's thread sleeps on until there is something for it.
  if (more) state_->work.notify_one();
  state_->idle.notify_all();
}

void OperationQueue::waitUntilAllOperationsAreFinished() {
  if (!state_) return;
  std::unique_lock lock(state_->mutex);
  state_->idle.wait(lock, [&] { return state_->operations.empty() && !state_->running; });
}

}  // namespace Foundation
