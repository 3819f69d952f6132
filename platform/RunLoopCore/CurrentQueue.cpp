#include "RunLoopCore/CurrentQueue.hpp"

namespace RunLoopCore {

namespace {
thread_local const QueueTag* current = nullptr;
}  // namespace

const QueueTag* currentQueue() {
  return current;
}

CurrentQueueScope::CurrentQueueScope(const QueueTag* queue) : saved_(current) {
  current = queue;
}

CurrentQueueScope::~CurrentQueueScope() {
  current = saved_;
}

}  // namespace RunLoopCore
