#pragma once

#include <any>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/Any.hpp"
#include "Foundation/OperationQueue.hpp"

namespace Foundation {

struct Notification {
  std::string name;
  std::optional<Any> object;
  std::optional<std::map<std::string, std::any>> userInfo;
};

// What addObserver hands back; passing it to removeObserver ends exactly that registration.
class NotificationObserver {
 public:
  virtual ~NotificationObserver() = default;
};

class NotificationCenter {
 public:
  static NotificationCenter& defaultCenter();

  // `name` absent: every name. `object` present: only posts whose object has the same identity.
  // `queue` absent: the block runs on the posting thread. Otherwise it runs on the queue (at
  // once when the poster already runs on that queue).
  std::shared_ptr<NotificationObserver> addObserver(std::optional<std::string> name,
                                                    std::optional<Any> object,
                                                    std::shared_ptr<OperationQueue> queue,
                                                    std::function<void(const Notification&)> block);
  // Once this returns no call of the observer starts, and a call running on another thread
  // has finished; called from the observer's own block, it does not wait for that call.
  void removeObserver(const std::shared_ptr<NotificationObserver>& observer);

  void post(const Notification& notification);
  void post(std::string name, std::optional<Any> object = std::nullopt,
            std::optional<std::map<std::string, std::any>> userInfo = std::nullopt);

  std::size_t observerCount() const;

 private:
  struct Registration;
  static void deliver(Registration& registration, const Notification& notification);
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<Registration>> registrations_;
};

}  // namespace Foundation
