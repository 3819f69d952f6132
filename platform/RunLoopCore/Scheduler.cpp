#include "RunLoopCore/Scheduler.hpp"

#include <chrono>
#include <vector>

namespace RunLoopCore {

Scheduler& Scheduler::shared() {
  // Never destroyed: its thread runs until the process ends.
  static auto* scheduler = new Scheduler;
  return *scheduler;
}

Scheduler::Scheduler() {
  std::thread([this] { threadMain(); }).detach();
}

Scheduler::ItemID Scheduler::schedule(TimeInterval due, std::function<void()> release) {
  std::lock_guard lock(mutex_);
  ItemID id = nextID_++;
  Key key{due, id};
  items_.emplace(key, std::move(release));
  keys_.emplace(id, key);
  wake_.notify_all();
  return id;
}

void Scheduler::cancel(ItemID id) {
  std::lock_guard lock(mutex_);
  auto it = keys_.find(id);
  if (it == keys_.end()) return;
  items_.erase(it->second);
  keys_.erase(it);
}

std::size_t Scheduler::releaseDue(TimeInterval now) {
  std::vector<std::function<void()>> due;
  {
    std::lock_guard lock(mutex_);
    while (!items_.empty() && items_.begin()->first.first <= now) {
      auto node = items_.extract(items_.begin());
      keys_.erase(node.key().second);
      due.push_back(std::move(node.mapped()));
    }
  }
  for (auto& release : due) release();
  return due.size();
}

std::optional<TimeInterval> Scheduler::nextDue() const {
  std::lock_guard lock(mutex_);
  if (items_.empty()) return std::nullopt;
  return items_.begin()->first.first;
}

void Scheduler::clockChanged() {
  std::lock_guard lock(mutex_);
  wake_.notify_all();
}

void Scheduler::threadMain() {
  for (;;) {
    auto clock = Clock::currentShared();
    {
      std::unique_lock lock(mutex_);
      if (items_.empty() || !clock->isReal()) {
        // Manual time moves only through ManualClock::advance and the run loop.
        wake_.wait(lock);
        continue;
      }
      double wait = items_.begin()->first.first - clock->now();
      if (wait > 0) {
        wake_.wait_for(lock, std::chrono::duration<double>(std::min(wait, 1.0)));
        continue;
      }
    }
    releaseDue(clock->now());
  }
}

}  // namespace RunLoopCore
