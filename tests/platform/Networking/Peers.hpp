// Servers that behave as real ones do where the sandbox cannot: an HTTP/1.1 server on
// OpenSSL's TLS 1.3 that sends a session ticket after each answer and closes idle connections
// as told, and an HTTP/2 server on nghttp2 that can refuse streams. Both show the sandbox's
// certificate on 127.0.0.1 with an ephemeral port, and count what they see.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sandbox/Sandbox.hpp>

namespace nettest {

// What both peers share: the listening socket, a thread per connection, counters under one lock.
class Peer {
 public:
  virtual ~Peer();
  Peer(const Peer&) = delete;
  Peer& operator=(const Peer&) = delete;
  int port() const { return port_; }
  std::size_t connections() const;
  // Requests read whole (or refused), by method and path (either may be empty: any).
  std::size_t requests(const std::string& method = {}, const std::string& path = {}) const;
  // The bodies of the requests answered, in order.
  std::vector<std::string> bodies() const;
  // Waits, in real time but only as a bound, until `condition` holds; it is checked again
  // whenever the peer's counts change.
  bool waitUntil(const std::function<bool()>& condition,
                 std::chrono::milliseconds limit = std::chrono::seconds(20)) const;

 protected:
  struct Request {
    std::string method, path, body;
  };
  Peer(const sandbox::Sandbox& sandbox, bool http2);
  void start();  // derived constructors call it last
  void stop();   // derived destructors call it first
  // Serves one accepted connection; sets `fd` to -1 when it closed the socket itself.
  virtual void serve(void* ssl, int& fd) = 0;
  void forget(int fd);  // before a socket is closed

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::uint64_t generation_ = 0;  // bumped with each change, under the lock
  void changed() { generation_ += 1, changed_.notify_all(); }
  std::size_t connections_ = 0;
  std::vector<Request> requests_;
  std::vector<std::string> bodies_;

 private:
  void acceptLoop();
  void* context_ = nullptr;  // SSL_CTX
  int listenFd_ = -1;
  int port_ = 0;
  bool stopping_ = false;
  std::vector<int> open_;  // client sockets still served
  std::thread acceptor_;
  std::vector<std::thread> served_;
};

class TlsPeer : public Peer {
 public:
  enum class Close { clean, reset, endOfStream, alertOnly };
  // A 417 to "Expect: 100-continue": before the body, or as the answer once the body is in.
  enum class Refuse { never, beforeBody, afterBody };
  explicit TlsPeer(const sandbox::Sandbox& sandbox);
  ~TlsPeer() override;

  void sendTicketsLate(bool on);  // a TLS 1.3 session ticket after each answer
  void refuseExpect(Refuse when);
  // The connection waiting for more from the client: its next request, or the rest of a body.
  void closeIdle(Close how);
  std::size_t answers() const;
  std::size_t tickets() const;
  std::size_t closes() const;  // connections closed as told
  std::vector<std::string> heads() const;

 private:
  void serve(void* ssl, int& fd) override;
  bool lateTickets_ = false;
  Refuse refuseExpect_ = Refuse::never;
  std::unique_ptr<Close> close_;
  std::size_t answers_ = 0, tickets_ = 0, closes_ = 0;
  std::vector<std::string> heads_;
};

// Answers 200 with "ok" to any request, except "/stream?size=N&pieces=K": N bytes of the test
// pattern, one K-th at first and one more K-th after each other answer.
class Http2Peer : public Peer {
 public:
  explicit Http2Peer(const sandbox::Sandbox& sandbox);
  ~Http2Peer() override;

  void refusePosts(int count);  // the next `count` POST streams, once in whole, get REFUSED_STREAM
  std::size_t refused() const;
  std::size_t answers() const;  // other than streams

 private:
  struct Connection;
  void serve(void* ssl, int& fd) override;
  int refuse_ = 0;
  std::size_t refused_ = 0, answers_ = 0;
};

}  // namespace nettest
