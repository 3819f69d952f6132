#include "Peers.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <nghttp2/nghttp2.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <stdexcept>
#include <string_view>

namespace nettest {

namespace {

int selectHttp2(SSL*, const unsigned char** out, unsigned char* outLength, const unsigned char* in,
                unsigned int inLength, void*) {
  for (unsigned int i = 0; i < inLength; i += in[i] + 1u) {
    if (in[i] == 2 && i + 3 <= inLength && std::memcmp(in + i + 1, "h2", 2) == 0) {
      *out = in + i + 1;
      *outLength = 2;
      return SSL_TLSEXT_ERR_OK;
    }
  }
  return SSL_TLSEXT_ERR_ALERT_FATAL;
}

bool writeAll(SSL* ssl, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const int n = SSL_write(ssl, bytes, static_cast<int>(std::min<std::size_t>(size, 1 << 20)));
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Waits until the client's end has taken in all that was sent, the end of stream included, so
// it is there to read when the test goes on. Bounded.
void waitAcknowledged(int fd) {
  for (int i = 0; i < 5000; ++i) {
    tcp_info info{};
    socklen_t size = sizeof info;
    if (::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size) != 0 || info.tcpi_unacked == 0) {
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void resetOnClose(int fd) {
  linger hard{1, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
}

std::string pathOf(const std::string& target) {
  return target.substr(0, target.find('?'));
}

// The number after `key` in `text` (a query's "size=", a head's "\ncontent-length:").
std::size_t numberAfter(const std::string& text, const std::string& key, std::size_t fallback) {
  const auto at = text.find(key);
  return at == std::string::npos ? fallback : std::stoul(text.substr(at + key.size()));
}

}  // namespace

// ---------------------------------------------------------------------------------------------

Peer::Peer(const sandbox::Sandbox& sandbox, bool http2) {
  auto* ctx = static_cast<SSL_CTX*>(sandbox.newServerContext());
  if (SSL_CTX_set_min_proto_version(ctx, TLS1_3_VERSION) != 1) {
    SSL_CTX_free(ctx);
    throw std::runtime_error("peer: TLS context");
  }
  if (http2) SSL_CTX_set_alpn_select_cb(ctx, selectHttp2, nullptr);
  context_ = ctx;

  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      ::listen(listenFd_, 16) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    throw std::runtime_error("peer: listen");
  }
  port_ = ntohs(address.sin_port);
}

void Peer::start() {
  acceptor_ = std::thread([this] { acceptLoop(); });
}

Peer::~Peer() {
  SSL_CTX_free(static_cast<SSL_CTX*>(context_));
}

void Peer::stop() {
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    stopping_ = true;
    for (int fd : open_) ::shutdown(fd, SHUT_RDWR);
  }
  ::shutdown(listenFd_, SHUT_RDWR);
  acceptor_.join();
  for (auto& thread : served_) thread.join();
  ::close(listenFd_);
}

void Peer::acceptLoop() {
  for (;;) {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    std::lock_guard lock(mutex_);
    if (stopping_) {
      if (fd >= 0) ::close(fd);
      return;
    }
    if (fd < 0) continue;
    open_.push_back(fd);
    connections_ += 1;
    changed();
    served_.emplace_back([this, socket = fd]() mutable {
      int fd = socket;
      SSL* ssl = SSL_new(static_cast<SSL_CTX*>(context_));
      SSL_set_fd(ssl, fd);
      if (SSL_accept(ssl) == 1) serve(ssl, fd);
      SSL_free(ssl);
      if (fd >= 0) {
        forget(fd);
        ::close(fd);
      }
    });
  }
}

void Peer::forget(int fd) {
  std::lock_guard lock(mutex_);
  open_.erase(std::find(open_.begin(), open_.end(), fd));
}

std::size_t Peer::connections() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

std::size_t Peer::requests(const std::string& method, const std::string& path) const {
  std::lock_guard lock(mutex_);
  return static_cast<std::size_t>(std::count_if(requests_.begin(), requests_.end(), [&](auto& r) {
    return (method.empty() || r.method == method) && (path.empty() || r.path == path);
  }));
}

std::vector<std::string> Peer::bodies() const {
  std::lock_guard lock(mutex_);
  return bodies_;
}

bool Peer::waitUntil(const std::function<bool()>& condition,
                     std::chrono::milliseconds limit) const {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::unique_lock lock(mutex_);
  for (;;) {
    const std::uint64_t seen = generation_;
    lock.unlock();
    if (condition()) return true;
    lock.lock();
    if (!changed_.wait_until(lock, deadline, [&] { return generation_ != seen; })) return false;
  }
}

// ---------------------------------------------------------------------------------------------

TlsPeer::TlsPeer(const sandbox::Sandbox& sandbox) : Peer(sandbox, false) {
  start();
}

TlsPeer::~TlsPeer() {
  stop();
}

void TlsPeer::sendTicketsLate(bool on) {
  std::lock_guard lock(mutex_);
  lateTickets_ = on;
}

void TlsPeer::refuseExpect(Refuse when) {
  std::lock_guard lock(mutex_);
  refuseExpect_ = when;
}

void TlsPeer::closeIdle(Close how) {
  std::lock_guard lock(mutex_);
  close_ = std::make_unique<Close>(how);
}

std::size_t TlsPeer::answers() const {
  std::lock_guard lock(mutex_);
  return answers_;
}

std::size_t TlsPeer::tickets() const {
  std::lock_guard lock(mutex_);
  return tickets_;
}

std::size_t TlsPeer::closes() const {
  std::lock_guard lock(mutex_);
  return closes_;
}

std::vector<std::string> TlsPeer::heads() const {
  std::lock_guard lock(mutex_);
  return heads_;
}

void TlsPeer::serve(void* handle, int& fd) {
  auto* ssl = static_cast<SSL*>(handle);
  std::string buffer;
  // Between requests the connection is idle: that is when it closes, if told to.
  const auto closeIfTold = [&] {
    std::unique_ptr<Close> close;
    {
      std::lock_guard lock(mutex_);
      close = std::move(close_);
    }
    if (!close) return false;
    if (*close == Close::clean || *close == Close::alertOnly) SSL_shutdown(ssl);
    if (*close == Close::clean || *close == Close::endOfStream) ::shutdown(fd, SHUT_WR);
    if (*close == Close::reset) {
      resetOnClose(fd);
      forget(fd);
      ::close(fd);
      fd = -1;
    } else {
      waitAcknowledged(fd);
    }
    {
      std::lock_guard lock(mutex_);
      closes_ += 1;
      changed();
    }
    // A server that closed reads no further request; the socket goes once the client's does.
    if (*close == Close::alertOnly) {
      char drained[4096];
      while (::read(fd, drained, sizeof drained) > 0) {
      }
    }
    return true;
  };
  const auto readMore = [&] {
    pollfd ready{fd, POLLIN, 0};
    while (SSL_pending(ssl) == 0 && ::poll(&ready, 1, 5) <= 0) {
      if (buffer.empty() && closeIfTold()) return false;
    }
    char chunk[16384];
    const int n = SSL_read(ssl, chunk, sizeof chunk);
    if (n > 0) buffer.append(chunk, static_cast<std::size_t>(n));
    return n > 0;
  };
  for (;;) {
    std::size_t end;
    while ((end = buffer.find("\r\n\r\n")) == std::string::npos) {
      if (!readMore()) return;
    }
    const std::string head = buffer.substr(0, end + 4);
    buffer.erase(0, end + 4);
    std::string lowered = head;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::size_t length = numberAfter(lowered, "\ncontent-length:", 0);
    const bool expect = lowered.find("\nexpect: 100-continue") != std::string::npos;
    const auto space = head.find(' ');
    const std::string method = head.substr(0, space);
    const std::string path = pathOf(head.substr(space + 1, head.find(' ', space + 1) - space - 1));
    Refuse refuse = Refuse::never;
    {
      std::lock_guard lock(mutex_);
      heads_.push_back(head);
      requests_.push_back({method, path, {}});
      if (expect) refuse = refuseExpect_;
      changed();
    }
    if (refuse == Refuse::beforeBody) {
      if (!writeAll(ssl, "HTTP/1.1 417 Expectation Failed\r\nContent-Length: 0\r\n\r\n", 54))
        return;
      continue;
    }
    if (expect && !writeAll(ssl, "HTTP/1.1 100 Continue\r\n\r\n", 25)) return;
    while (buffer.size() < length) {
      if (!readMore()) return;
    }
    std::string body = buffer.substr(0, length);
    buffer.erase(0, length);
    static constexpr std::string_view kAnswer =
        "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 2\r\n\r\nok";
    static constexpr std::string_view kRefusal =
        "HTTP/1.1 417 Expectation Failed\r\nContent-Length: 7\r\n\r\nrefused";
    const auto answer = refuse == Refuse::afterBody ? kRefusal : kAnswer;
    if (!writeAll(ssl, answer.data(), answer.size())) return;
    bool ticket = false;
    {
      std::lock_guard lock(mutex_);
      answers_ += 1;
      bodies_.push_back(std::move(body));
      ticket = lateTickets_;
      changed();
    }
    if (ticket && SSL_new_session_ticket(ssl) == 1 && SSL_do_handshake(ssl) == 1) {
      waitAcknowledged(fd);
      std::lock_guard lock(mutex_);
      tickets_ += 1;
      changed();
    }
  }
}

// ---------------------------------------------------------------------------------------------

struct Http2Peer::Connection {
  struct Stream {
    std::string method, target, body;
    bool pattern = false;
    std::string answer = "ok";
    std::size_t size = 2, piece = 2, sent = 0;
  };
  Http2Peer* peer = nullptr;
  nghttp2_session* session = nullptr;
  std::map<std::int32_t, Stream> streams;
  std::set<std::int32_t> deferred;

  static Connection& of(void* user) { return *static_cast<Connection*>(user); }

  static int onBeginHeaders(nghttp2_session*, const nghttp2_frame* frame, void* user) {
    if (frame->hd.type == NGHTTP2_HEADERS && frame->headers.cat == NGHTTP2_HCAT_REQUEST) {
      of(user).streams[frame->hd.stream_id] = Stream{};
    }
    return 0;
  }

  static int onHeader(nghttp2_session*, const nghttp2_frame* frame, const uint8_t* name,
                      size_t nameLength, const uint8_t* value, size_t valueLength, uint8_t,
                      void* user) {
    auto it = of(user).streams.find(frame->hd.stream_id);
    if (it == of(user).streams.end()) return 0;
    const std::string key(reinterpret_cast<const char*>(name), nameLength);
    const std::string text(reinterpret_cast<const char*>(value), valueLength);
    if (key == ":method") it->second.method = text;
    if (key == ":path") it->second.target = text;
    return 0;
  }

  static int onData(nghttp2_session*, uint8_t, int32_t id, const uint8_t* data, size_t length,
                    void* user) {
    auto it = of(user).streams.find(id);
    if (it != of(user).streams.end())
      it->second.body.append(reinterpret_cast<const char*>(data), length);
    return 0;
  }

  static int onFrame(nghttp2_session* session, const nghttp2_frame* frame, void* user) {
    auto& c = of(user);
    auto it = c.streams.find(frame->hd.stream_id);
    if (it == c.streams.end()) return 0;
    auto& stream = it->second;
    if ((frame->hd.type != NGHTTP2_HEADERS && frame->hd.type != NGHTTP2_DATA) ||
        (frame->hd.flags & NGHTTP2_FLAG_END_STREAM) == 0) {
      return 0;
    }
    if (stream.method == "POST") {
      // Refused only once the body is in: the client has sent it whole and must start over.
      std::lock_guard lock(c.peer->mutex_);
      if (c.peer->refuse_ > 0) {
        c.peer->refuse_ -= 1;
        c.peer->refused_ += 1;
        c.peer->requests_.push_back({stream.method, pathOf(stream.target), stream.body});
        c.peer->changed();
        return nghttp2_submit_rst_stream(session, NGHTTP2_FLAG_NONE, frame->hd.stream_id,
                                         NGHTTP2_REFUSED_STREAM);
      }
    }
    stream.pattern = pathOf(stream.target) == "/stream";
    if (stream.pattern) {
      stream.size = numberAfter(stream.target, "size=", 0);
      stream.piece = (stream.size + numberAfter(stream.target, "pieces=", 1) - 1) /
                     numberAfter(stream.target, "pieces=", 1);
    }
    {
      std::lock_guard lock(c.peer->mutex_);
      c.peer->requests_.push_back({stream.method, pathOf(stream.target), stream.body});
      c.peer->bodies_.push_back(stream.body);
      if (!stream.pattern) c.peer->answers_ += 1;
      c.peer->changed();
    }
    const std::string length = std::to_string(stream.size);
    const nghttp2_nv headers[] = {
        {const_cast<uint8_t*>(reinterpret_cast<const uint8_t*>(":status")),
         const_cast<uint8_t*>(reinterpret_cast<const uint8_t*>("200")), 7, 3, NGHTTP2_NV_FLAG_NONE},
        {const_cast<uint8_t*>(reinterpret_cast<const uint8_t*>("content-length")),
         const_cast<uint8_t*>(reinterpret_cast<const uint8_t*>(length.data())), 14, length.size(),
         NGHTTP2_NV_FLAG_NONE},
    };
    nghttp2_data_provider provider{};
    provider.read_callback = &Connection::readBody;
    return nghttp2_submit_response(session, frame->hd.stream_id, headers, 2, &provider);
  }

  static ssize_t readBody(nghttp2_session*, int32_t id, uint8_t* buffer, size_t length,
                          uint32_t* flags, nghttp2_data_source*, void* user) {
    auto& c = of(user);
    auto it = c.streams.find(id);
    if (it == c.streams.end()) return NGHTTP2_ERR_TEMPORAL_CALLBACK_FAILURE;
    auto& stream = it->second;
    std::size_t released = stream.size;
    if (stream.pattern) {
      std::lock_guard lock(c.peer->mutex_);
      released = std::min(stream.size, stream.piece * (1 + c.peer->answers_));
    }
    if (stream.sent >= released && stream.sent < stream.size) {
      c.deferred.insert(id);
      return NGHTTP2_ERR_DEFERRED;
    }
    const std::size_t n = std::min(length, released - stream.sent);
    const std::string bytes = stream.pattern ? sandbox::testPattern(stream.sent, n)
                                             : stream.answer.substr(stream.sent, n);
    std::memcpy(buffer, bytes.data(), n);
    stream.sent += n;
    if (stream.sent == stream.size) *flags |= NGHTTP2_DATA_FLAG_EOF;
    return static_cast<ssize_t>(n);
  }

  static int onClose(nghttp2_session*, int32_t id, uint32_t, void* user) {
    of(user).streams.erase(id);
    of(user).deferred.erase(id);
    return 0;
  }
};

Http2Peer::Http2Peer(const sandbox::Sandbox& sandbox) : Peer(sandbox, true) {
  start();
}

Http2Peer::~Http2Peer() {
  stop();
}

void Http2Peer::refusePosts(int count) {
  std::lock_guard lock(mutex_);
  refuse_ = count;
}

std::size_t Http2Peer::refused() const {
  std::lock_guard lock(mutex_);
  return refused_;
}

std::size_t Http2Peer::answers() const {
  std::lock_guard lock(mutex_);
  return answers_;
}

void Http2Peer::serve(void* handle, int& fd) {
  auto* ssl = static_cast<SSL*>(handle);
  Connection c;
  c.peer = this;
  nghttp2_session_callbacks* callbacks = nullptr;
  nghttp2_session_callbacks_new(&callbacks);
  nghttp2_session_callbacks_set_on_begin_headers_callback(callbacks, &Connection::onBeginHeaders);
  nghttp2_session_callbacks_set_on_header_callback(callbacks, &Connection::onHeader);
  nghttp2_session_callbacks_set_on_data_chunk_recv_callback(callbacks, &Connection::onData);
  nghttp2_session_callbacks_set_on_frame_recv_callback(callbacks, &Connection::onFrame);
  nghttp2_session_callbacks_set_on_stream_close_callback(callbacks, &Connection::onClose);
  nghttp2_session_server_new(&c.session, callbacks, &c);
  nghttp2_session_callbacks_del(callbacks);
  const nghttp2_settings_entry settings[] = {{NGHTTP2_SETTINGS_MAX_CONCURRENT_STREAMS, 100}};
  nghttp2_submit_settings(c.session, NGHTTP2_FLAG_NONE, settings, 1);
  std::size_t released = answers();
  for (;;) {
    if (const std::size_t now = answers(); now != released) {
      released = now;
      for (auto id : std::exchange(c.deferred, {})) nghttp2_session_resume_data(c.session, id);
    }
    const uint8_t* data = nullptr;
    ssize_t n = 0;
    while ((n = nghttp2_session_mem_send(c.session, &data)) > 0) {
      if (!writeAll(ssl, data, static_cast<std::size_t>(n))) n = -1;
      if (n < 0) break;
    }
    if (n < 0) break;
    if (!nghttp2_session_want_read(c.session) && !nghttp2_session_want_write(c.session)) break;
    // A short wait, so pieces released by answers on other connections go out too.
    pollfd ready{fd, POLLIN, 0};
    if (SSL_pending(ssl) == 0 && ::poll(&ready, 1, 5) <= 0) continue;
    uint8_t buffer[16384];
    const int got = SSL_read(ssl, buffer, sizeof buffer);
    if (got <= 0 || nghttp2_session_mem_recv(c.session, buffer, static_cast<size_t>(got)) < 0) {
      break;
    }
  }
  nghttp2_session_del(c.session);
}

}  // namespace nettest
