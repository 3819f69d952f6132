#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/Any.hpp>
#include <Foundation/NotificationCenter.hpp>
#include <Foundation/OperationQueue.hpp>

namespace ZentrelSDK {

// A thin layer over the default notification centre that remembers which registrations
// belong to which target, so a target can end all of them (or those of one name) in one call.
// Any thread may call any operation; no handler ever runs on the private queue.
class ZTEventCore {
 public:
  // The owner of registrations, keyed by its address. Give listen and unregister the same
  // pointer: a raw pointer (typically `this`) or the shared_ptr that owns the object. A target
  // given as a shared_ptr is held weakly: its handlers are skipped once it has gone, and keep
  // it alive while they run. A raw-pointer target must end its registrations before it goes;
  // ZTEventsRegistration does that on destruction.
  class Target {
   public:
    template <class T>
    Target(const T* object)  // NOLINT(google-explicit-constructor): `this` is a target
        : key_(reinterpret_cast<std::uintptr_t>(static_cast<const void*>(object))) {}
    template <class T>
    Target(const std::shared_ptr<T>& object)  // NOLINT(google-explicit-constructor)
        : key_(reinterpret_cast<std::uintptr_t>(static_cast<const void*>(object.get()))),
          life_(std::shared_ptr<const void>(object)),
          guarded_(true) {}

    std::uintptr_t key() const { return key_; }
    bool isGuarded() const { return guarded_; }
    const std::weak_ptr<const void>& life() const { return life_; }

   private:
    std::uintptr_t key_;
    std::weak_ptr<const void> life_;
    bool guarded_ = false;
  };

  // The token of one registration; handing it to the centre ends exactly that registration.
  using Observer = std::shared_ptr<Foundation::NotificationObserver>;
  // Always called with a notification.
  using Handler = std::function<void(const std::optional<Foundation::Notification>&)>;
  using UserInfo = std::map<std::string, std::any>;

  struct NamedObserver {
    Observer observer;
    std::string name;
  };
  using Cache = std::unordered_map<std::uintptr_t, std::vector<NamedObserver>>;

  struct Static {
    static const std::shared_ptr<ZTEventCore>& instance();
    static const Dispatch::DispatchQueue& queue();
  };

  ZTEventCore() = default;

  // Posting, on the caller's thread. The object form hands the sender over as it is.
  static void post(const std::string& name, std::optional<Foundation::Any> sender = std::nullopt);
  // The any-type form: an object (shared_ptr) keeps its identity, another value is boxed.
  template <class T>
  static void post(const std::string& name, T&& sender) {
    post(name, bridge(std::forward<T>(sender)));
  }
  template <class T>
  static void post(const std::string& name, T&& sender, std::optional<UserInfo> userInfo) {
    postNotification(name, bridge(std::forward<T>(sender)), std::move(userInfo));
  }

  // The same posts, made later on the main queue; these return at once, also on the main
  // thread.
  static void postToMainThread(const std::string& name,
                               std::optional<Foundation::Any> sender = std::nullopt);
  template <class T>
  static void postToMainThread(const std::string& name, T&& sender) {
    postToMainThread(name, bridge(std::forward<T>(sender)));
  }
  template <class T>
  static void postToMainThread(const std::string& name, T&& sender,
                               std::optional<UserInfo> userInfo) {
    postNotificationToMainThread(name, bridge(std::forward<T>(sender)), std::move(userInfo));
  }

  // Registering. A present sender limits the registration to posts whose object is that very
  // object (see bridge); an absent sender hears every post of the name. An absent queue runs
  // the handler on the posting thread.
  static Observer on(const Target& target, const std::string& name,
                     std::optional<Foundation::Any> sender,
                     std::shared_ptr<Foundation::OperationQueue> queue, Handler handler);
  // On the main queue.
  static Observer onMainThread(const Target& target, const std::string& name,
                               std::optional<Foundation::Any> sender, Handler handler);
  // On a new operation queue of its own, which lives as long as the registration.
  static Observer onBackgroundThread(const Target& target, const std::string& name,
                                     std::optional<Foundation::Any> sender, Handler handler);

  // Ends every registration of the target and forgets it.
  static void unregister(const Target& target);
  // Ends the target's registrations of one name; the target stays known, even with none left.
  static void unregister(const Target& target, const std::string& name);

  // A copy of the registrations per target key. Not to be called from the private queue.
  Cache cache() const;

  // A sender as the centre sees it: shared_ptr objects keep their identity, texts become
  // std::string, other values are boxed; null pointers and absent optionals are no object.
  template <class T>
  static std::optional<Foundation::Any> bridge(T&& sender) {
    using V = std::remove_cvref_t<T>;
    using D = std::decay_t<T>;
    if constexpr (std::is_same_v<V, std::nullopt_t>) {
      return std::nullopt;
    } else if constexpr (std::is_same_v<V, Foundation::Any>) {
      return std::forward<T>(sender);
    } else if constexpr (IsOptional<V>::value) {
      if (!sender) return std::nullopt;
      return bridge(*std::forward<T>(sender));
    } else if constexpr (IsSharedPtr<V>::value) {
      if (!sender) return std::nullopt;
      return Foundation::Any(std::forward<T>(sender));
    } else if constexpr (std::is_array_v<V> &&
                         std::is_same_v<std::remove_cv_t<std::remove_extent_t<V>>, char>) {
      return Foundation::Any::value(std::string(sender));
    } else if constexpr (std::is_same_v<D, const char*> || std::is_same_v<D, char*>) {
      if (sender == nullptr) return std::nullopt;
      return Foundation::Any::value(std::string(sender));
    } else if constexpr (std::is_same_v<V, std::string_view>) {
      return Foundation::Any::value(std::string(sender));
    } else {
      return Foundation::Any::value(V(std::forward<T>(sender)));
    }
  }

 private:
  template <class T>
  struct IsOptional : std::false_type {};
  template <class T>
  struct IsOptional<std::optional<T>> : std::true_type {};
  template <class T>
  struct IsSharedPtr : std::false_type {};
  template <class T>
  struct IsSharedPtr<std::shared_ptr<T>> : std::true_type {};

  static void postNotification(const std::string& name, std::optional<Foundation::Any> sender,
                               std::optional<UserInfo> userInfo);
  static void postNotificationToMainThread(const std::string& name,
                                           std::optional<Foundation::Any> sender,
                                           std::optional<UserInfo> userInfo);
  static void removeAll(const std::vector<NamedObserver>& removed);

  // Read and written only on Static::queue().
  Cache cache_;
};

}  // namespace ZentrelSDK
