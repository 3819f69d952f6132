#include "RawListener.hpp"

#include "Util.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace sandbox::detail {

namespace {
constexpr std::size_t kMaxRequest = 64u << 20;

std::optional<std::string> headerValue(std::string_view head, std::string_view name) {
  std::size_t pos = head.find("\r\n");
  while (pos != std::string_view::npos && pos + 2 < head.size()) {
    const std::size_t start = pos + 2;
    const std::size_t end = head.find("\r\n", start);
    const std::string_view line =
        head.substr(start, (end == std::string_view::npos ? head.size() : end) - start);
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos && iequals(line.substr(0, colon), name)) {
      std::string_view v = line.substr(colon + 1);
      while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
      while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
      return std::string(v);
    }
    pos = end;
  }
  return std::nullopt;
}
}  // namespace

int RawListener::framing(const std::string& bytes, bool& expectContinue) {
  expectContinue = false;
  const std::size_t headEnd = bytes.find("\r\n\r\n");
  if (headEnd == std::string::npos) return 0;
  const std::string_view head(bytes.data(), headEnd + 2);
  const std::size_t bodyStart = headEnd + 4;
  const auto te = headerValue(head, "Transfer-Encoding");
  const bool wantsContinue = [&] {
    const auto e = headerValue(head, "Expect");
    return e && iequals(*e, "100-continue");
  }();
  if (te && lower(*te).find("chunked") != std::string::npos) {
    std::size_t pos = bodyStart;
    for (;;) {
      const std::size_t lineEnd = bytes.find("\r\n", pos);
      if (lineEnd == std::string::npos) break;
      std::string sizeText = bytes.substr(pos, lineEnd - pos);
      if (const std::size_t semi = sizeText.find(';'); semi != std::string::npos)
        sizeText.resize(semi);
      std::size_t size = 0;
      try {
        size = std::stoul(sizeText, nullptr, 16);
      } catch (...) {
        return 1;  // not chunked after all: take what came
      }
      if (size == 0) {
        // Trailers end with an empty line.
        std::size_t t = lineEnd + 2;
        for (;;) {
          const std::size_t e = bytes.find("\r\n", t);
          if (e == std::string::npos) break;
          if (e == t) return 1;
          t = e + 2;
        }
        break;
      }
      pos = lineEnd + 2 + size + 2;
      if (pos > bytes.size()) break;
    }
    expectContinue = wantsContinue && bytes.size() == bodyStart;
    return 0;
  }
  const auto cl = headerValue(head, "Content-Length");
  if (!cl) return 1;
  const auto length = parseInteger(*cl);
  if (!length || *length < 0) return 1;
  if (bytes.size() >= bodyStart + static_cast<std::size_t>(*length)) return 1;
  expectContinue = wantsContinue && bytes.size() == bodyStart;
  return 0;
}

std::string RawListener::defaultAnswer() {
  return "HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: 2\r\n"
         "Connection: close\r\n\r\nok";
}

RawListener::RawListener(SSL_CTX* ctx) : ctx_(ctx), answer_(defaultAnswer()) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0 || ::pipe(wakeFd_) != 0) {
    if (listenFd_ >= 0) ::close(listenFd_);
    SSL_CTX_free(ctx_);
    throw std::runtime_error("sandbox raw listener: socket");
  }
  const int one = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = 0;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listenFd_, 64) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    ::close(listenFd_);
    ::close(wakeFd_[0]);
    ::close(wakeFd_[1]);
    SSL_CTX_free(ctx_);
    throw std::runtime_error("sandbox raw listener: bind");
  }
  port_ = ntohs(addr.sin_port);
  acceptThread_ = std::thread([this] { acceptLoop(); });
}

RawListener::~RawListener() {
  stop();
  ::close(listenFd_);
  ::close(wakeFd_[0]);
  ::close(wakeFd_[1]);
  SSL_CTX_free(ctx_);
}

void RawListener::stop() {
  {
    std::lock_guard lock(mu_);
    if (stopping_) return;
    stopping_ = true;
    for (int fd : active_) ::shutdown(fd, SHUT_RDWR);
  }
  cv_.notify_all();
  const char byte = 1;
  [[maybe_unused]] const auto n = ::write(wakeFd_[1], &byte, 1);
  if (acceptThread_.joinable()) acceptThread_.join();
  std::vector<Worker> workers;
  {
    std::lock_guard lock(mu_);
    workers.swap(workers_);
  }
  for (auto& w : workers) w.thread.join();
}

void RawListener::acceptLoop() {
  for (;;) {
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFd_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0) return;
    if ((fds[0].revents & POLLIN) == 0) continue;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard lock(mu_);
    if (stopping_) {
      ::close(fd);
      return;
    }
    // Reap the workers that have finished.
    for (auto it = workers_.begin(); it != workers_.end();) {
      if (it->done->load()) {
        it->thread.join();
        it = workers_.erase(it);
      } else {
        ++it;
      }
    }
    active_.insert(fd);
    auto done = std::make_shared<std::atomic<bool>>(false);
    workers_.push_back(Worker{std::thread([this, fd, done] { serve(fd, *done); }), done});
  }
}

void RawListener::serve(int fd, std::atomic<bool>& done) {
  timeval tv{5, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
  SSL* ssl = SSL_new(ctx_);
  std::string bytes;
  bool complete = false;
  bool handshook = false;
  std::string serverName;
  if (ssl != nullptr && SSL_set_fd(ssl, fd) == 1 && SSL_accept(ssl) == 1) {
    handshook = true;
    if (const char* sni = SSL_get_servername(ssl, TLSEXT_NAMETYPE_host_name)) serverName = sni;
    bool continueSent = false;
    char buf[16384];
    while (bytes.size() < kMaxRequest) {
      const int n = SSL_read(ssl, buf, sizeof buf);
      if (n <= 0) break;
      bytes.append(buf, static_cast<std::size_t>(n));
      bool expectContinue = false;
      if (framing(bytes, expectContinue) == 1) {
        complete = true;
        break;
      }
      if (expectContinue && !continueSent) {
        static constexpr char kContinue[] = "HTTP/1.1 100 Continue\r\n\r\n";
        SSL_write(ssl, kContinue, sizeof kContinue - 1);
        continueSent = true;
      }
    }
  }
  std::string answer;
  if (handshook && !bytes.empty()) {
    std::unique_lock lock(mu_);
    records_.push_back(RawRequest{nextSeq_++, serverName, bytes, complete});
    answer = answer_;
    cv_.notify_all();
    // "delay=<ms>" in the request line holds the answer back (at most 5 s, or until stopped).
    const std::string line = bytes.substr(0, bytes.find("\r\n"));
    if (const auto at = line.find("delay="); at != std::string::npos) {
      const long ms = std::min(std::strtol(line.c_str() + at + 6, nullptr, 10), 5000L);
      cv_.wait_for(lock, std::chrono::milliseconds(std::max(ms, 0L)), [&] { return stopping_; });
    }
  }
  cv_.notify_all();
  if (!answer.empty()) {
    std::size_t off = 0;
    while (off < answer.size()) {
      const int n = SSL_write(ssl, answer.data() + off, static_cast<int>(answer.size() - off));
      if (n <= 0) break;
      off += static_cast<std::size_t>(n);
    }
    SSL_shutdown(ssl);
  }
  SSL_free(ssl);
  {
    // Closed under the lock: once a connection no longer counts as open, it is closed.
    std::lock_guard lock(mu_);
    active_.erase(fd);
    ::close(fd);
  }
  done = true;
}

std::vector<RawRequest> RawListener::records() const {
  std::lock_guard lock(mu_);
  return records_;
}

bool RawListener::waitFor(std::size_t n, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mu_);
  return cv_.wait_for(lock, timeout, [&] { return records_.size() >= n; });
}

void RawListener::clear() {
  std::lock_guard lock(mu_);
  records_.clear();
}

std::size_t RawListener::openConnections() const {
  std::lock_guard lock(mu_);
  return active_.size();
}

void RawListener::setAnswer(std::string bytes) {
  std::lock_guard lock(mu_);
  answer_ = bytes.empty() ? defaultAnswer() : std::move(bytes);
}

}  // namespace sandbox::detail
