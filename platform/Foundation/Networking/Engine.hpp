// The transfer engine of one URL session: libcurl's multi interface on the session's own
// thread. When the session answers on the main queue, the main thread takes in the answers
// itself while it waits for work, and the session thread only when the main thread is busy.
// Private to the platform.
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "Foundation/Data.hpp"
#include "Foundation/HTTPURLResponse.hpp"
#include "Foundation/NSError.hpp"
#include "Foundation/Networking/CurlShare.hpp"
#include "Foundation/URLRequest.hpp"
#include "RunLoopCore/MainQueue.hpp"
#include "RunLoopCore/Poller.hpp"

namespace Foundation {
class OperationQueue;
class URLSession;
class URLSessionTask;
}  // namespace Foundation

namespace Foundation::Networking {

class DelegateSlot;
struct ShareGroup;
struct TaskState;
struct Transfer;

class Engine : public std::enable_shared_from_this<Engine> {
 public:
  // `queue`: the session's delegate queue. `served`: it is the session's own, whose operations
  // this engine runs on its thread while the queue is idle (a queue the host gave keeps its
  // own). `delegate`: the session's, released once the delegate has heard of the session's
  // invalidation.
  Engine(bool cookies, std::shared_ptr<OperationQueue> queue, bool served,
         std::shared_ptr<DelegateSlot> delegate);
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // The session thread's body; returns soon after stop(). It holds the engine except while it
  // waits for sockets and while delegate code runs. Holding the engine means holding the
  // transport lock of the engine's share group, which the other sessions of the group share.
  void run();
  void stop();

  // Called from any thread; the work happens on the session thread (a start may happen on the
  // caller's, when the engine is free).
  void start(std::shared_ptr<URLSessionTask> task, std::shared_ptr<TaskState> state);
  void setSuspended(std::shared_ptr<URLSessionTask> task, bool suspended);
  void cancel(std::shared_ptr<URLSessionTask> task, std::shared_ptr<TaskState> state);
  void invalidate(std::shared_ptr<URLSession> session, bool cancelTasks);
  // The delegate's answers.
  void respond(std::shared_ptr<URLSessionTask> task, bool allow);
  void redirectDecided(std::shared_ptr<URLSessionTask> task, std::optional<URLRequest> request);

  std::uint64_t connectionCount() const { return connections_.load(); }

  // With the engine held: a block for the session's delegate queue, in order. It reaches the
  // queue once the engine is let go, so a callback never runs or wakes anyone under it.
  void toDelegateQueue(std::function<void()> block);

 private:
  void post(std::function<void()> command);
  void wake();
  void runCommands();
  // Takes the blocks made under the engine and lets the engine go, then hands them to the
  // delegate queue. The next holder's blocks follow these.
  void releaseAndHandOver(std::unique_lock<TransportLock>& lock);
  // Runs libcurl's due timer and takes in finished transfers.
  void drive();
  // With the engine held: hands libcurl what `events` says of `socket`.
  void act(curl_socket_t socket, std::uint32_t events);
  // With the engine held, by a thread other than the session's: wakes the session thread if
  // libcurl now needs it sooner than it planned, or its own queue has work.
  void wakeIfSooner();
  // The main thread's turn on a socket whose transfer answers on the main queue.
  void serveOnMain(curl_socket_t socket, std::uint32_t events);
  bool servedOnMain(CURL* easy) const;
  static bool needsThread(const Transfer& t);
  bool threadBound() const;  // a transfer that needs this engine's thread is running
  // Moves the sockets main watches to this engine's thread, and back once no transfer needs it.
  void keepOffMain();
  void handBackToMain();
  void watchOnMain(curl_socket_t socket, std::uint32_t events);
  void unwatch(curl_socket_t socket);
  // The sockets left to the main thread, served here when it has been busy for a while.
  void serveBusyMain();

  // With the engine held.
  Transfer& adopt(const std::shared_ptr<URLSessionTask>& task,
                  const std::shared_ptr<TaskState>& state);
  Transfer* find(std::uint64_t id);
  void begin(const std::shared_ptr<URLSessionTask>& task, const std::shared_ptr<TaskState>& state);
  void startHop(Transfer& t);
  void configure(Transfer& t);
  // Returns the connections the hop opened (0: it ran on reused ones only).
  long endHop(Transfer& t);
  void finished(Transfer& t, CURLcode code);
  void redirect(Transfer& t);
  void follow(Transfer& t, const URLRequest& request);
  void refuseRedirect(Transfer& t);
  // Ends a transfer whose whole answer was held back: it reaches the task now.
  void finishWith(Transfer& t, std::shared_ptr<HTTPURLResponse> response, Data body);
  void answer(Transfer& t, bool allow);
  void complete(Transfer& t, std::optional<NSError> error);
  void applyPause(Transfer& t);
  void checkTimeouts();
  long pollTimeoutMs() const;
  void checkInvalidation();
  CURL* acquire();
  void release(CURL* easy);

  // libcurl callbacks and what they hand on (inside libcurl, with the engine held).
  static int onSocket(CURL* easy, curl_socket_t socket, int what, void* user, void* socketData);
  static int onTimer(CURLM* multi, long timeoutMs, void* user);
  static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user);
  static std::size_t onWrite(char* data, std::size_t size, std::size_t count, void* user);
  static std::size_t onRead(char* data, std::size_t size, std::size_t count, void* user);
  static int onSeek(void* user, curl_off_t offset, int origin);
  static int onProgress(void* user, curl_off_t dltotal, curl_off_t dlnow, curl_off_t ultotal,
                        curl_off_t ulnow);
  static int onDebug(CURL* easy, curl_infotype type, char* data, std::size_t size, void* user);
  static int onSocketOpened(void* user, curl_socket_t socket, curlsocktype purpose);
  static int onSending(void* user, char* remoteIp, char* localIp, int remotePort, int localPort);
  static bool endOfHeaders(Transfer& t);
  static bool publish(Transfer& t, std::shared_ptr<HTTPURLResponse> response);
  static bool deliver(Transfer& t, const std::uint8_t* bytes, std::size_t size);
  static void reportSent(Transfer& t, std::int64_t totalSent);

  const bool cookies_;
  ShareGroup& group_;
  const std::shared_ptr<OperationQueue> queue_;
  const bool served_;
  const std::shared_ptr<DelegateSlot> delegate_;
  CURLM* multi_ = nullptr;
  RunLoopCore::Poller poller_{/*spins=*/true};  // the sockets libcurl watches on the session thread
  std::atomic<bool> stopping_{false};
  std::atomic<bool> commandsPending_{false};
  std::atomic<bool> polling_{false};  // only a waiting thread needs waking

  std::atomic<std::uint64_t> connections_{0};

  std::mutex mutex_;  // guards commands_ only
  // Taken before the engine is let go and held while its blocks reach a host queue.
  std::mutex handingOver_;
  std::deque<std::function<void()>> commands_;

  // Everything below, and libcurl's handles: whoever holds group_.transport (the session
  // thread, or a caller starting a task while the thread waits).
  std::optional<std::chrono::steady_clock::time_point> timerDue_;  // libcurl's next timeout
  std::chrono::steady_clock::time_point waitingUntil_;
  std::unordered_map<std::uint64_t, std::unique_ptr<Transfer>> transfers_;
  std::vector<std::function<void()>> delegateBlocks_;  // for queue_, handed over between turns
  // Ended transfers and run commands, let go once the engine is: a task may hold the last
  // reference to its session, whose end takes the engine.
  std::vector<std::shared_ptr<void>> leaving_;
  std::vector<CURL*> idle_;
  // The sockets libcurl asked to watch, by this thread or by the main thread.
  struct Watch {
    std::uint32_t events = 0;
    bool onMain = false;
  };
  std::unordered_map<curl_socket_t, Watch> watched_;
  std::shared_ptr<const RunLoopCore::MainQueue::Ready> mainReady_;  // made once
  std::chrono::steady_clock::time_point mainChecked_;
  bool invalidating_ = false;
  std::shared_ptr<URLSession> invalidatedSession_;  // until its delegate has heard it
};

}  // namespace Foundation::Networking
