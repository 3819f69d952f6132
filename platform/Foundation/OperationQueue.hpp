#pragma once

#include <functional>
#include <memory>
#include <string>

namespace Foundation {

namespace Networking {
class Engine;
}

// main() runs its operations on the main queue; every other queue has a thread of its own
// and runs its operations one at a time, in order.
class OperationQueue : public std::enable_shared_from_this<OperationQueue> {
 public:
  static const std::shared_ptr<OperationQueue>& main();
  // The queue whose operation the calling thread runs, or nullptr.
  static OperationQueue* current();

  OperationQueue();
  ~OperationQueue();
  OperationQueue(const OperationQueue&) = delete;
  OperationQueue& operator=(const OperationQueue&) = delete;

  void addOperation(std::function<void()> block);
  void waitUntilAllOperationsAreFinished();

  std::string name;
  bool isMain() const { return state_ == nullptr; }

 private:
  friend class Networking::Engine;
  // Runs the block on the calling thread at once, as this queue's operation, when the queue
  // has nothing queued or running; otherwise adds it. Saves waking the queue's thread.
  void runHereOrAdd(std::function<void()> block);

  struct State;
  struct MainTag {};
  explicit OperationQueue(MainTag);
  std::shared_ptr<State> state_;
};

}  // namespace Foundation
