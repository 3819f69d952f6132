#include "Foundation/NotificationCenter.hpp"

#include <algorithm>
#include <condition_variable>

namespace Foundation {

struct NotificationCenter::Registration : NotificationObserver {
  std::optional<std::string> name;
  const void* sender = nullptr;  // identity; nullptr hears every sender
  bool filtersSender = false;
  std::shared_ptr<OperationQueue> queue;
  std::function<void(const Notification&)> block;

  // Calls and removal meet here: once removed, no call starts, and removal waits for the
  // calls already running on other threads.
  std::mutex callMutex;
  std::condition_variable callEnded;
  bool removed = false;
  int running = 0;
};

namespace {

// The registrations whose blocks this thread is inside, innermost last: removing one of them
// from its own block must not wait for itself.
thread_local std::vector<const void*> callingNow;

}  // namespace

void NotificationCenter::deliver(Registration& r, const Notification& notification) {
  {
    std::lock_guard lock(r.callMutex);
    if (r.removed) return;
    ++r.running;
  }
  callingNow.push_back(&r);
  struct Leave {
    Registration& r;
    ~Leave() {
      callingNow.pop_back();
      std::lock_guard lock(r.callMutex);
      --r.running;
      r.callEnded.notify_all();
    }
  } leave{r};
  r.block(notification);
}

NotificationCenter& NotificationCenter::defaultCenter() {
  static auto* center = new NotificationCenter;
  return *center;
}

std::shared_ptr<NotificationObserver> NotificationCenter::addObserver(
    std::optional<std::string> name, std::optional<Any> object,
    std::shared_ptr<OperationQueue> queue, std::function<void(const Notification&)> block) {
  auto registration = std::make_shared<Registration>();
  registration->name = std::move(name);
  if (object && object->hasValue()) {
    registration->filtersSender = true;
    registration->sender = object->identity();
  }
  registration->queue = std::move(queue);
  registration->block = std::move(block);
  std::lock_guard lock(mutex_);
  registrations_.push_back(registration);
  return registration;
}

void NotificationCenter::removeObserver(const std::shared_ptr<NotificationObserver>& observer) {
  auto* registration = dynamic_cast<Registration*>(observer.get());
  if (!registration) return;
  {
    std::lock_guard lock(mutex_);
    std::erase_if(registrations_, [&](const auto& r) { return r.get() == registration; });
  }
  const auto ownCalls = std::count(callingNow.begin(), callingNow.end(), registration);
  std::unique_lock lock(registration->callMutex);
  registration->removed = true;
  registration->callEnded.wait(lock, [&] { return registration->running == ownCalls; });
}

void NotificationCenter::post(std::string name, std::optional<Any> object,
                              std::optional<std::map<std::string, std::any>> userInfo) {
  post(Notification{std::move(name), std::move(object), std::move(userInfo)});
}

void NotificationCenter::post(const Notification& notification) {
  std::vector<std::shared_ptr<Registration>> matching;
  {
    std::lock_guard lock(mutex_);
    const void* identity = notification.object ? notification.object->identity() : nullptr;
    for (const auto& r : registrations_) {
      if (r->name && *r->name != notification.name) continue;
      // A boxed value has no identity and so never matches a sender filter.
      if (r->filtersSender && (identity == nullptr || identity != r->sender)) continue;
      matching.push_back(r);
    }
  }
  for (auto& r : matching) {
    if (!r->queue || OperationQueue::current() == r->queue.get()) {
      deliver(*r, notification);
      continue;
    }
    r->queue->addOperation([r, notification] { deliver(*r, notification); });
  }
}

std::size_t NotificationCenter::observerCount() const {
  std::lock_guard lock(mutex_);
  return registrations_.size();
}

}  // namespace Foundation
