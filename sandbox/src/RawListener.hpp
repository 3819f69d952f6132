// A plain TLS listener behind the sandbox certificate that records the exact bytes of each request
// it receives and answers a fixed response (test area: exact bytes on the wire).
#pragma once

#include "sandbox/Sandbox.hpp"

#include <openssl/ssl.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace sandbox::detail {

class RawListener {
 public:
  explicit RawListener(SSL_CTX* ctx);  // takes ownership of ctx; binds 127.0.0.1:0 and starts
  ~RawListener();
  RawListener(const RawListener&) = delete;
  RawListener& operator=(const RawListener&) = delete;

  void stop();
  int port() const { return port_; }
  std::vector<RawRequest> records() const;
  bool waitFor(std::size_t n, std::chrono::milliseconds timeout) const;
  void clear();
  void setAnswer(std::string bytes);
  std::size_t openConnections() const;

  static std::string defaultAnswer();
  // 0: more bytes needed; 1: the request is complete. Sets `expectContinue` when the head asks for
  // it and a body is still to come.
  static int framing(const std::string& bytes, bool& expectContinue);

 private:
  void acceptLoop();
  void serve(int fd, std::atomic<bool>& done);

  SSL_CTX* ctx_ = nullptr;
  int listenFd_ = -1;
  int wakeFd_[2] = {-1, -1};
  int port_ = -1;
  std::thread acceptThread_;

  mutable std::mutex mu_;
  mutable std::condition_variable cv_;
  bool stopping_ = false;
  std::vector<RawRequest> records_;
  std::uint64_t nextSeq_ = 1;
  std::string answer_;
  std::set<int> active_;
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  std::vector<Worker> workers_;
};

}  // namespace sandbox::detail
