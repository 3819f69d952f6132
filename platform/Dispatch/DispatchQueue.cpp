#include "Dispatch/DispatchQueue.hpp"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

#include "RunLoopCore/MainQueue.hpp"
#include "RunLoopCore/MainThread.hpp"
#include "RunLoopCore/Scheduler.hpp"

namespace Dispatch {

enum class Kind { main, global, serial };

struct DispatchQueue::Impl : RunLoopCore::QueueTag {
  Impl(std::string l, Kind k) : QueueTag{std::move(l)}, kind(k) {}
  Kind kind;
  // Serial queues only.
  std::mutex mutex;
  std::deque<std::function<void()>> blocks;
  bool draining = false;
};

namespace {

using RunLoopCore::CurrentQueueScope;
using RunLoopCore::MainQueue;

// Worker threads shared by the global and serial queues. It grows when every thread is busy,
// so a block that waits (a semaphore, a prompt) never starves the others.
class Pool {
 public:
  static Pool& shared() {
    static auto* pool = new Pool;  // never destroyed: its threads live as long as the process
    return *pool;
  }
  void submit(std::function<void()> task) {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    // Every queued task needs a thread of its own: an idle thread that was already woken for
    // an earlier task cannot take this one.
    if (tasks_.size() > static_cast<std::size_t>(idle_)) {
      std::thread([this] { worker(); }).detach();
    } else {
      cv_.notify_one();
    }
  }

 private:
  void worker() {
    std::unique_lock lock(mutex_);
    for (;;) {
      ++idle_;
      cv_.wait(lock, [&] { return !tasks_.empty(); });
      --idle_;
      auto task = std::move(tasks_.front());
      tasks_.pop_front();
      lock.unlock();
      task();
      task = nullptr;  // what it held goes unlocked: its end may dispatch again
      lock.lock();
    }
  }
  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> tasks_;
  int idle_ = 0;
};

void drainSerial(const std::shared_ptr<DispatchQueue::Impl>& impl) {
  CurrentQueueScope scope(impl.get());
  for (;;) {
    std::function<void()> block;
    {
      std::lock_guard lock(impl->mutex);
      if (impl->blocks.empty()) {
        impl->draining = false;
        return;
      }
      block = std::move(impl->blocks.front());
      impl->blocks.pop_front();
    }
    block();
  }
}

void enqueue(const std::shared_ptr<DispatchQueue::Impl>& impl, std::function<void()> block) {
  switch (impl->kind) {
    case Kind::main:
      MainQueue::shared().push(std::move(block));
      return;
    case Kind::global:
      Pool::shared().submit([impl, block = std::move(block)] {
        CurrentQueueScope scope(impl.get());
        block();
      });
      return;
    case Kind::serial: {
      std::lock_guard lock(impl->mutex);
      impl->blocks.push_back(std::move(block));
      if (impl->draining) return;
      impl->draining = true;
    }
      Pool::shared().submit([impl] { drainSerial(impl); });
      return;
  }
}

}  // namespace

DispatchQueue& DispatchQueue::main() {
  static auto* queue =
      new DispatchQueue(std::make_shared<Impl>(MainQueue::shared().tag().label, Kind::main));
  return *queue;
}

DispatchQueue& DispatchQueue::global(QoS qos) {
  static DispatchQueue* queues[] = {
      new DispatchQueue(std::make_shared<Impl>("com.apple.root.background-qos", Kind::global)),
      new DispatchQueue(std::make_shared<Impl>("com.apple.root.utility-qos", Kind::global)),
      new DispatchQueue(std::make_shared<Impl>("com.apple.root.default-qos", Kind::global)),
      new DispatchQueue(std::make_shared<Impl>("com.apple.root.user-initiated-qos", Kind::global)),
      new DispatchQueue(
          std::make_shared<Impl>("com.apple.root.user-interactive-qos", Kind::global)),
  };
  return *queues[static_cast<int>(qos)];
}

DispatchQueue::DispatchQueue(std::string label)
    : impl_(std::make_shared<Impl>(std::move(label), Kind::serial)) {}

void DispatchQueue::async(std::function<void()> block) const {
  enqueue(impl_, std::move(block));
}

void DispatchQueue::sync(const std::function<void()>& block) const {
  bool onMain = impl_->kind == Kind::main && RunLoopCore::MainThread::isCurrent();
  if ((isCurrent() && impl_->kind != Kind::global) || onMain) {
    std::fprintf(stderr, "Dispatch: sync onto the current queue \"%s\" would deadlock\n",
                 impl_->label.c_str());
    std::abort();
  }
  if (impl_->kind == Kind::global) {
    CurrentQueueScope scope(impl_.get());
    block();
    return;
  }
  std::promise<void> done;
  enqueue(impl_, [&] {
    block();
    done.set_value();
  });
  done.get_future().wait();
}

void DispatchQueue::asyncAfter(RunLoopCore::TimeInterval delay, std::function<void()> block) const {
  auto impl = impl_;
  RunLoopCore::Scheduler::shared().scheduleAfter(
      delay, [impl, block = std::move(block)](RunLoopCore::Nanoseconds) mutable {
        enqueue(impl, std::move(block));
      });
}

const std::string& DispatchQueue::label() const {
  return impl_->label;
}
bool DispatchQueue::isMain() const {
  return impl_->kind == Kind::main;
}
bool DispatchQueue::isCurrent() const {
  // The main queue's blocks run under the tag of its storage, which the run loop serves.
  const RunLoopCore::QueueTag* tag =
      impl_->kind == Kind::main ? &MainQueue::shared().tag() : impl_.get();
  return RunLoopCore::currentQueue() == tag;
}

std::string DispatchQueue::currentLabel() {
  const auto* queue = RunLoopCore::currentQueue();
  return queue ? queue->label : "";
}

}  // namespace Dispatch
