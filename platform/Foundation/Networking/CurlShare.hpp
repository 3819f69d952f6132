// Process-wide libcurl state of the URL loading system. Private to the platform.
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace Foundation::Networking {

// libcurl's global initialisation, done once.
void initializeCurl();

// A mutex that knows whether the calling thread holds it, so code that may run under it (a
// handler, a destructor) neither locks it twice nor waits on itself.
class TransportLock {
 public:
  void lock() {
    mutex_.lock();
    owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
  }
  bool try_lock() {
    if (!mutex_.try_lock()) return false;
    owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
    return true;
  }
  void unlock() {
    owner_.store(std::thread::id(), std::memory_order_relaxed);
    mutex_.unlock();
  }
  bool heldHere() const {
    return owner_.load(std::memory_order_relaxed) == std::this_thread::get_id();
  }

 private:
  std::mutex mutex_;
  std::atomic<std::thread::id> owner_{};
};

// The sessions whose transfers attach to one share handle: DNS answers, TLS sessions and the
// connection cache always, and the cookie jar of the shared cookie store for sessions that use
// it. libcurl does not support a shared connection cache used from several threads at once,
// so every engine of the group holds `transport` whenever it is inside libcurl.
struct ShareGroup {
  CURLSH* share = nullptr;
  TransportLock transport;
  // Every socket libcurl opened for the group's connections (with `transport` held), so a
  // kept connection can be looked at before a request goes out on it. Closed ones linger
  // until a look finds them gone.
  std::vector<curl_socket_t> sockets;
};

ShareGroup& cookieGroup();
ShareGroup& plainGroup();

// The cookie group's handle, for reading and editing the jar.
CURLSH* cookieShare();

// Called by a session after an answer that set cookies, so the store can date them.
void cookiesReceived();

}  // namespace Foundation::Networking
