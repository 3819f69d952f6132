#include "RunLoopCore/Scheduler.hpp"

#include <algorithm>
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

Scheduler::ItemID Scheduler::schedule(Nanoseconds due, Release release) {
  std::lock_guard lock(mutex_);
  ItemID id = nextID_++;
  Key key{due, id};
  items_.emplace(key, std::move(release));
  keys_.emplace(id, key);
  wake_.notify_all();
  return id;
}

Scheduler::ItemID Scheduler::scheduleAfter(TimeInterval delay, Release release) {
  const Nanoseconds wait = std::max<Nanoseconds>(0, toNanoseconds(delay));
  return schedule(Clock::current().uptimeNanoseconds() + wait, std::move(release));
}

void Scheduler::cancel(ItemID id) {
  std::lock_guard lock(mutex_);
  auto it = keys_.find(id);
  if (it == keys_.end()) return;
  items_.erase(it->second);
  keys_.erase(it);
}

std::size_t Scheduler::releaseDue(Nanoseconds now) {
  std::vector<std::pair<Nanoseconds, Release>> due;
  {
    std::lock_guard lock(mutex_);
    while (!items_.empty() && items_.begin()->first.first <= now) {
      auto node = items_.extract(items_.begin());
      keys_.erase(node.key().second);
      due.emplace_back(node.key().first, std::move(node.mapped()));
    }
  }
  for (auto& [at, release] : due) release(at);
  return due.size();
}

std::optional<Nanoseconds> Scheduler::nextDue() const {
  std::lock_guard lock(mutex_);
  if (items_.empty()) return std::nullopt;
  return items_.begin()->first.first;
}

void Scheduler::clockChanged(Nanoseconds shift) {
  std::lock_guard lock(mutex_);
  if (shift != 0) {
    std::map<Key, Release> moved;
    for (auto& [key, release] : items_) {
      const Key at{key.first + shift, key.second};
      keys_[key.second] = at;
      moved.emplace(at, std::move(release));
    }
    items_ = std::move(moved);
  }
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
      const Nanoseconds wait = items_.begin()->first.first - clock->uptimeNanoseconds();
      if (wait > 0) {
        wake_.wait_for(lock, std::chrono::nanoseconds(std::min<Nanoseconds>(wait, 1000000000)));
        continue;
      }
    }
    releaseDue(clock->uptimeNanoseconds());
  }
}

}  // namespace RunLoopCore
