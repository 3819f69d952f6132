#pragma once

#include <string>

namespace RunLoopCore {

// What a queue is to the code running its blocks: Dispatch's queues and the main queue.
// Private to the platform.
struct QueueTag {
  std::string label;
};

// The queue whose block the calling thread runs, or nullptr.
const QueueTag* currentQueue();

// Marks the calling thread as running a block of `queue` for the scope's lifetime.
class CurrentQueueScope {
 public:
  explicit CurrentQueueScope(const QueueTag* queue);
  ~CurrentQueueScope();
  CurrentQueueScope(const CurrentQueueScope&) = delete;
  CurrentQueueScope& operator=(const CurrentQueueScope&) = delete;

 private:
  const QueueTag* saved_;
};

}  // namespace RunLoopCore
