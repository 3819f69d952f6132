// The transfer engine of one URL session: libcurl's multi interface on the session's own
// thread. Private to the platform.
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "Foundation/HTTPURLResponse.hpp"
#include "Foundation/NSError.hpp"
#include "Foundation/URLRequest.hpp"

namespace Foundation {
class URLSession;
class URLSessionTask;
}  // namespace Foundation

namespace Foundation::Networking {

struct Transfer;

class Engine : public std::enable_shared_from_this<Engine> {
 public:
  explicit Engine(bool cookies);
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // The session thread's body; returns soon after stop().
  void run();
  void stop();

  // Called from any thread; the work happens on the session thread.
  void start(std::shared_ptr<URLSessionTask> task);
  void setSuspended(std::shared_ptr<URLSessionTask> task, bool suspended);
  void cancel(std::shared_ptr<URLSessionTask> task);
  void invalidate(std::shared_ptr<URLSession> session, bool cancelTasks);
  // The delegate's answers.
  void respond(std::shared_ptr<URLSessionTask> task, bool allow);
  void redirectDecided(std::shared_ptr<URLSessionTask> task, std::optional<URLRequest> request);

  std::uint64_t connectionCount() const { return connections_.load(); }

 private:
  void post(std::function<void()> command);
  void runCommands();

  // Session thread only.
  Transfer& adopt(const std::shared_ptr<URLSessionTask>& task);
  Transfer* find(std::uint64_t id);
  void begin(const std::shared_ptr<URLSessionTask>& task);
  void startHop(Transfer& t);
  void configure(Transfer& t);
  void endHop(Transfer& t);
  void finished(Transfer& t, CURLcode code);
  void redirect(Transfer& t);
  void follow(Transfer& t, const URLRequest& request);
  void refuseRedirect(Transfer& t);
  void answer(Transfer& t, bool allow);
  void complete(Transfer& t, std::optional<NSError> error);
  void applyPause(Transfer& t);
  void checkTimeouts();
  long pollTimeoutMs() const;
  void checkInvalidation();
  CURL* acquire();
  void release(CURL* easy);

  // libcurl callbacks and what they hand on (session thread, inside libcurl).
  static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user);
  static std::size_t onWrite(char* data, std::size_t size, std::size_t count, void* user);
  static std::size_t onRead(char* data, std::size_t size, std::size_t count, void* user);
  static int onSeek(void* user, curl_off_t offset, int origin);
  static int onProgress(void* user, curl_off_t dltotal, curl_off_t dlnow, curl_off_t ultotal,
                        curl_off_t ulnow);
  static int onDebug(CURL* easy, curl_infotype type, char* data, std::size_t size, void* user);
  static bool endOfHeaders(Transfer& t);
  static bool publish(Transfer& t, std::shared_ptr<HTTPURLResponse> response);
  static bool deliver(Transfer& t, const std::uint8_t* bytes, std::size_t size);
  static void reportSent(Transfer& t, std::int64_t totalSent);

  const bool cookies_;
  CURLM* multi_ = nullptr;
  std::atomic<bool> stopping_{false};
  std::atomic<std::uint64_t> connections_{0};

  std::mutex mutex_;  // guards commands_
  std::deque<std::function<void()>> commands_;

  std::unordered_map<std::uint64_t, std::unique_ptr<Transfer>> transfers_;
  std::vector<CURL*> idle_;
  bool invalidating_ = false;
  std::shared_ptr<URLSession> invalidatedSession_;  // until its delegate has heard it
};

}  // namespace Foundation::Networking
