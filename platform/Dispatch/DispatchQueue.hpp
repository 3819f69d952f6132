#pragma once

#include <functional>
#include <memory>
#include <string>

#include "RunLoopCore/Clock.hpp"

namespace Dispatch {

enum class QoS { Background, Utility, Default, UserInitiated, UserInteractive };

// A handle to a dispatch queue; copies refer to the same queue.
// - main(): blocks run on the main thread when its run loop runs; never inline.
// - global(qos): a growing pool of worker threads, blocks run concurrently.
// - DispatchQueue(label): serial; blocks run one at a time in order, on pool threads.
class DispatchQueue {
 public:
  struct Impl;

  static DispatchQueue& main();
  static DispatchQueue& global(QoS qos = QoS::Default);
  explicit DispatchQueue(std::string label);

  void async(std::function<void()> block) const;
  // Runs the block on the queue and waits for it. A sync onto the queue the caller is
  // running on would never complete; it stops the process with a message instead.
  void sync(const std::function<void()>& block) const;
  // Enqueues the block once `delay` seconds have passed on the process clock.
  void asyncAfter(RunLoopCore::TimeInterval delay, std::function<void()> block) const;

  const std::string& label() const;
  bool isMain() const;
  // True when the calling thread is running a block of this queue.
  bool isCurrent() const;
  // Label of the queue whose block the calling thread runs, or "" for none.
  static std::string currentLabel();

  bool operator==(const DispatchQueue& other) const { return impl_ == other.impl_; }

 private:
  explicit DispatchQueue(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}
  std::shared_ptr<Impl> impl_;
};

}  // namespace Dispatch
