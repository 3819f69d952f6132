#include "Foundation/NotificationCenter.hpp"

#include <algorithm>
#include <atomic>

namespace Foundation {

struct NotificationCenter::Registration : NotificationObserver {
  std::optional<std::string> name;
  const void* sender = nullptr;  // identity; nullptr hears every sender
  bool filtersSender = false;
  std::shared_ptr<OperationQueue> queue;
  std::function<void(const Notification&)> block;
  std::atomic<bool> removed{false};
};

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
  // Deliveries already queued check this flag and stay silent.
  registration->removed = true;
  std::lock_guard lock(mutex_);
  std::erase_if(registrations_, [&](const auto& r) { return r.get() == registration; });
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
      if (!r->removed) r->block(notification);
      continue;
    }
    r->queue->addOperation([r, notification] {
      if (!r->removed) r->block(notification);
    });
  }
}

std::size_t NotificationCenter::observerCount() const {
  std::lock_guard lock(mutex_);
  return registrations_.size();
}

}  // namespace Foundation
