#pragma once

#include <cstdint>
#include <memory>
#include <utility>

namespace ZentrelSDK {

// Numbers the runs of a multi-step operation, so that an answer of a run that has been replaced
// or has ended does nothing. Used from one queue only.
class ZTRuns {
 public:
  using Id = std::uint64_t;

  ZTRuns() = default;
  // Callbacks point at their counter, so it stays where its owner put it.
  ZTRuns(const ZTRuns&) = delete;
  ZTRuns& operator=(const ZTRuns&) = delete;

  // A new run replaces the current one.
  Id begin() {
    ended_ = false;
    return ++current_;
  }
  // The current run takes no more answers; it stays the current one until the next begin().
  void end() { ended_ = true; }

  Id current() const { return current_; }
  bool ended() const { return ended_; }
  bool isLive(Id run) const { return run == current_ && !ended_; }

  // `body(owner, args...)` as a callback of the current run. Given a weak_ptr it holds the
  // owner weakly and does nothing once the owner is gone; given a shared_ptr it keeps the owner
  // until the callback goes. Either way it does nothing once the run is no longer live. The
  // counter must be a member of the owner: it is reached only through a live owner.
  template <class Holder, class Body>
  auto guard(Holder owner, Body body) const {
    return [owner = std::move(owner), runs = this, run = current_,
            body = std::move(body)](auto&&... args) mutable {
      auto self = lock(owner);
      if (!self || !runs->isLive(run)) return;
      body(*self, std::forward<decltype(args)>(args)...);
    };
  }

 private:
  template <class T>
  static std::shared_ptr<T> lock(const std::weak_ptr<T>& owner) {
    return owner.lock();
  }
  template <class T>
  static const std::shared_ptr<T>& lock(const std::shared_ptr<T>& owner) {
    return owner;
  }

  Id current_ = 0;
  bool ended_ = false;
};

}  // namespace ZentrelSDK
