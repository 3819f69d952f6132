#include "ZTEventCore.hpp"

namespace ZentrelSDK {

using Foundation::Notification;
using Foundation::NotificationCenter;

const std::shared_ptr<ZTEventCore>& ZTEventCore::Static::instance() {
  // Never destroyed: targets may unregister from static destructors at exit.
  static const auto* instance = new std::shared_ptr<ZTEventCore>(std::make_shared<ZTEventCore>());
  return *instance;
}

const Dispatch::DispatchQueue& ZTEventCore::Static::queue() {
  static const auto* queue = new Dispatch::DispatchQueue("com.zentrel.ZentrelSDK.eventcore");
  return *queue;
}

void ZTEventCore::post(const std::string& name, std::optional<Foundation::Any> sender) {
  postNotification(name, std::move(sender), std::nullopt);
}

void ZTEventCore::postNotification(const std::string& name, std::optional<Foundation::Any> sender,
                                   std::optional<UserInfo> userInfo) {
  NotificationCenter::defaultCenter().post(name, std::move(sender), std::move(userInfo));
}

void ZTEventCore::postToMainThread(const std::string& name, std::optional<Foundation::Any> sender) {
  postNotificationToMainThread(name, std::move(sender), std::nullopt);
}

void ZTEventCore::postNotificationToMainThread(const std::string& name,
                                               std::optional<Foundation::Any> sender,
                                               std::optional<UserInfo> userInfo) {
  Dispatch::DispatchQueue::main().async(
      [name, sender = std::move(sender), userInfo = std::move(userInfo)] {
        postNotification(name, sender, userInfo);
      });
}

ZTEventCore::Observer ZTEventCore::on(const Target& target, const std::string& name,
                                      std::optional<Foundation::Any> sender,
                                      std::shared_ptr<Foundation::OperationQueue> queue,
                                      Handler handler) {
  const auto key = target.key();
  std::function<void(const Notification&)> block;
  if (target.isGuarded()) {
    // The target is held weakly: a handler must not reach into an object that has gone.
    block = [life = target.life(), handler = std::move(handler)](const Notification& n) {
      const auto alive = life.lock();
      if (!alive) return;
      handler(n);
    };
  } else {
    block = [handler = std::move(handler)](const Notification& n) { handler(n); };
  }
  auto observer = NotificationCenter::defaultCenter().addObserver(
      name, std::move(sender), std::move(queue), std::move(block));
  NamedObserver entry{observer, name};
  Static::queue().sync([&] { Static::instance()->cache_[key].push_back(std::move(entry)); });
  return observer;
}

ZTEventCore::Observer ZTEventCore::onMainThread(const Target& target, const std::string& name,
                                                std::optional<Foundation::Any> sender,
                                                Handler handler) {
  return on(target, name, std::move(sender), Foundation::OperationQueue::main(),
            std::move(handler));
}

ZTEventCore::Observer ZTEventCore::onBackgroundThread(const Target& target, const std::string& name,
                                                      std::optional<Foundation::Any> sender,
                                                      Handler handler) {
  return on(target, name, std::move(sender), std::make_shared<Foundation::OperationQueue>(),
            std::move(handler));
}

// Removal waits for handlers running on other threads, and those may register or unregister
// through the private queue themselves: so it happens after the serial block.
void ZTEventCore::unregister(const Target& target) {
  const auto key = target.key();
  std::vector<NamedObserver> removed;
  Static::queue().sync([&] {
    auto& cache = Static::instance()->cache_;
    const auto it = cache.find(key);
    if (it == cache.end()) return;
    removed = std::move(it->second);
    cache.erase(it);
  });
  removeAll(removed);
}

void ZTEventCore::unregister(const Target& target, const std::string& name) {
  const auto key = target.key();
  std::vector<NamedObserver> removed;
  Static::queue().sync([&] {
    auto& cache = Static::instance()->cache_;
    const auto it = cache.find(key);
    if (it == cache.end()) return;
    std::vector<NamedObserver> kept;
    for (auto& entry : it->second) {
      (entry.name == name ? removed : kept).push_back(std::move(entry));
    }
    it->second = std::move(kept);
  });
  removeAll(removed);
}

void ZTEventCore::removeAll(const std::vector<NamedObserver>& removed) {
  auto& center = NotificationCenter::defaultCenter();
  for (const auto& entry : removed) center.removeObserver(entry.observer);
}

ZTEventCore::Cache ZTEventCore::cache() const {
  Cache copy;
  Static::queue().sync([&] { copy = cache_; });
  return copy;
}

}  // namespace ZentrelSDK
