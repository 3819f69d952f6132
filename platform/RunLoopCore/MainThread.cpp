#include "RunLoopCore/MainThread.hpp"

#include <atomic>
#include <thread>

namespace RunLoopCore {

namespace {
std::atomic<std::thread::id>& mainThreadID() {
  static std::atomic<std::thread::id> id{std::this_thread::get_id()};
  return id;
}
std::atomic<bool> adopted{false};

// Taken when the library loads, on the thread that loads it.
[[maybe_unused]] const bool loaderThreadRecorded = (mainThreadID(), true);
}  // namespace

bool MainThread::isCurrent() {
  return mainThreadID().load() == std::this_thread::get_id();
}

void MainThread::adoptIfNone() {
  if (!adopted.exchange(true)) mainThreadID() = std::this_thread::get_id();
}

}  // namespace RunLoopCore
