// The hops of a transfer: the easy handles, their options, and what ends a hop.
#include "Foundation/Networking/Engine.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "Foundation/Networking/CurlShare.hpp"
#include "Foundation/Networking/Transfer.hpp"
#include "Foundation/URLSession.hpp"

namespace Foundation::Networking {

namespace {

constexpr std::size_t kIdleHandles = 8;

// A header that cannot be written as one line is not sent at all.
bool sendable(std::string_view name, std::string_view value) {
  if (name.empty()) return false;
  for (unsigned char c : name) {
    if (c <= 0x20 || c >= 0x7F || c == ':' || c == ';') return false;
  }
  return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

using Endpoint = std::pair<std::string, int>;

// A socket end as libcurl names it: the address's text and the port.
Endpoint endpointOf(const sockaddr_storage& address) {
  char text[INET6_ADDRSTRLEN] = {};
  if (address.ss_family == AF_INET) {
    const auto& in = reinterpret_cast<const sockaddr_in&>(address);
    ::inet_ntop(AF_INET, &in.sin_addr, text, sizeof text);
    return {text, ntohs(in.sin_port)};
  }
  if (address.ss_family == AF_INET6) {
    const auto& in = reinterpret_cast<const sockaddr_in6&>(address);
    ::inet_ntop(AF_INET6, &in.sin6_addr, text, sizeof text);
    return {text, ntohs(in.sin6_port)};
  }
  return {"", -1};
}

// Whether what waits on an idle TLS connection is its end: a close alert, the end of the
// stream, a reset, or bytes no request asked for. Records that carry no data (a late session
// ticket, a key update) are taken in, as libcurl's own next read would take them. libcurl's
// transport under the SSL works only inside libcurl's own calls, so the look reads the socket
// through a BIO of its own for that moment; the socket is non-blocking.
bool closedUnder(SSL* ssl, curl_socket_t socket) {
  BIO* own = BIO_new_socket(socket, BIO_NOCLOSE);
  if (own == nullptr) return true;
  BIO* in = SSL_get_rbio(ssl);
  BIO* out = SSL_get_wbio(ssl);
  BIO_up_ref(in);
  BIO_up_ref(out);
  BIO_up_ref(own);
  SSL_set0_rbio(ssl, own);
  SSL_set0_wbio(ssl, own);
  ERR_clear_error();
  char byte = 0;
  const int got = SSL_peek(ssl, &byte, 1);
  const int error = SSL_get_error(ssl, got);
  ERR_clear_error();
  SSL_set0_rbio(ssl, in);
  SSL_set0_wbio(ssl, out);
  return got > 0 || (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE);
}

// Whether the server is closing the idle connection between these ends. A TLS close alert
// passes libcurl's own check for dead connections.
bool serverClosing(std::vector<curl_socket_t>& sockets, const Endpoint& local,
                   const Endpoint& remote, SSL* ssl) {
  for (auto it = sockets.begin(); it != sockets.end();) {
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    if (::getsockname(*it, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
      it = sockets.erase(it);
      continue;
    }
    if (endpointOf(address) == local) {
      size = sizeof address;
      if (::getpeername(*it, reinterpret_cast<sockaddr*>(&address), &size) == 0 &&
          endpointOf(address) == remote) {
        pollfd ready{*it, POLLIN, 0};
        if (::poll(&ready, 1, 0) <= 0) return false;
        return ssl == nullptr || closedUnder(ssl, *it);
      }
    }
    ++it;
  }
  return false;
}

// The SSL of the connection the transfer is about to use, when libcurl runs on OpenSSL.
SSL* sslOf(CURL* easy) {
  curl_tlssessioninfo* info = nullptr;
  if (curl_easy_getinfo(easy, CURLINFO_TLS_SSL_PTR, &info) != CURLE_OK || info == nullptr ||
      info->backend != CURLSSLBACKEND_OPENSSL) {
    return nullptr;
  }
  return static_cast<SSL*>(info->internals);
}

bool speaksHttp2(SSL* ssl) {
  const unsigned char* protocol = nullptr;
  unsigned int length = 0;
  if (ssl != nullptr) SSL_get0_alpn_selected(ssl, &protocol, &length);
  return length == 2 && std::memcmp(protocol, "h2", 2) == 0;
}

}  // namespace

Transfer* Engine::find(std::uint64_t id) {
  auto it = transfers_.find(id);
  return it == transfers_.end() ? nullptr : it->second.get();
}

Transfer& Engine::adopt(const std::shared_ptr<URLSessionTask>& task,
                        const std::shared_ptr<TaskState>& state) {
  auto owned = std::make_unique<Transfer>(task->originalRequest());
  Transfer& t = *owned;
  t.engine = this;
  t.weakEngine = weak_from_this();
  t.cookies = cookies_;
  t.task = task;
  t.state = state;
  t.session = state->session;
  t.id = task->taskIdentifier();
  auto delegate = t.session->delegate();
  t.taskDelegate = std::dynamic_pointer_cast<URLSessionTaskDelegate>(delegate);
  if (state->completion) {
    t.mode = Mode::completion;
  } else if (state->kind == TaskKind::download) {
    t.mode = Mode::download;
    t.downloadDelegate = std::dynamic_pointer_cast<URLSessionDownloadDelegate>(delegate);
  } else {
    t.mode = Mode::dataDelegate;
    t.dataDelegate = std::dynamic_pointer_cast<URLSessionDataDelegate>(delegate);
  }
  transfers_.emplace(t.id, std::move(owned));
  return t;
}

void Engine::begin(const std::shared_ptr<URLSessionTask>& task,
                   const std::shared_ptr<TaskState>& state) {
  if (find(task->taskIdentifier()) != nullptr) return;
  Transfer& t = adopt(task, state);
  if (invalidating_) return complete(t, NSError::urlError(NSURLErrorCancelled, t.urlText()));
  if (auto error = checkLoadable(t.request)) return complete(t, std::move(error));

  if (auto error = openBody(t, *state)) return complete(t, std::move(error));
  t.suspended = task->state() == URLSessionTask::State::suspended;
  startHop(t);
}

CURL* Engine::acquire() {
  if (!idle_.empty()) {
    CURL* easy = idle_.back();
    idle_.pop_back();
    return easy;
  }
  return curl_easy_init();
}

void Engine::release(CURL* easy) {
  // Forget the finished transfer's callbacks, buffers and lists before anything else can
  // reach them. curl_easy_reset drops the cookie file list without freeing it, so that goes
  // first (with the shared jar this only detaches the handle; the cookies stay).
  if (cookies_) curl_easy_setopt(easy, CURLOPT_COOKIEFILE, static_cast<char*>(nullptr));
  curl_easy_reset(easy);
  if (idle_.size() < kIdleHandles) {
    idle_.push_back(easy);
  } else {
    curl_easy_cleanup(easy);
  }
}

void Engine::startHop(Transfer& t) {
  t.status = 0;
  t.httpVersion.reset();
  t.fields.clear();
  t.headersDone = false;
  t.redirectTarget.reset();
  t.redirectResponse.reset();
  t.redirectBody.clear();
  t.lastUp = t.lastDown = 0;
  t.sends = 0;
  t.resendRefused = t.connectionClosing = t.multiplexed = false;
  t.expectRefusal.reset();
  t.expectRefusalBody.clear();
  if (!rewindBody(t)) {
    return complete(t, NSError::urlError(NSURLErrorRequestBodyStreamExhausted, t.urlText()));
  }
  t.timeout = t.request.timeoutInterval > 0 ? t.request.timeoutInterval : 60.0;
  t.env = currentEnvironment();
  t.easy = acquire();
  if (t.easy == nullptr) return complete(t, NSError::urlError(NSURLErrorUnknown, t.urlText()));
  configure(t);
  // It may join a connection main serves: from now on this thread serves them all.
  if (needsThread(t)) keepOffMain();
  t.touch();
  if (curl_multi_add_handle(multi_, t.easy) != CURLM_OK) {
    return complete(t, NSError::urlError(NSURLErrorUnknown, t.urlText()));
  }
  applyPause(t);
}

void Engine::configure(Transfer& t) {
  CURL* e = t.easy;
  curl_easy_setopt(e, CURLOPT_PRIVATE, &t);
  curl_easy_setopt(e, CURLOPT_SHARE, group_.share);
  // The shared jar is used only with the cookie engine on; "" loads no file.
  if (cookies_) curl_easy_setopt(e, CURLOPT_COOKIEFILE, "");
  curl_easy_setopt(e, CURLOPT_URL, t.request.url->absoluteString().c_str());
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "https");
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  if (std::exchange(t.newConnection, false)) curl_easy_setopt(e, CURLOPT_FRESH_CONNECT, 1L);
  t.errorText[0] = 0;
  curl_easy_setopt(e, CURLOPT_ERRORBUFFER, t.errorText);

  // Verification is never switched off; only the trust anchors may change.
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(e, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
  if (t.env->connectTo) curl_easy_setopt(e, CURLOPT_CONNECT_TO, t.env->connectTo);
  if (t.env->anchorsPem) {
    curl_blob blob{const_cast<char*>(t.env->anchorsPem->data()), t.env->anchorsPem->size(),
                   CURL_BLOB_COPY};
    curl_easy_setopt(e, CURLOPT_CAINFO_BLOB, &blob);
    curl_easy_setopt(e, CURLOPT_CAINFO, static_cast<char*>(nullptr));
    curl_easy_setopt(e, CURLOPT_CAPATH, static_cast<char*>(nullptr));
  }

  const std::string method = t.request.httpMethod.empty() ? "GET" : t.request.httpMethod;
  curl_easy_setopt(e, CURLOPT_SOCKOPTFUNCTION, &Engine::onSocketOpened);
  curl_easy_setopt(e, CURLOPT_SOCKOPTDATA, &t);
  t.repeatable = method == "GET" || method == "HEAD" || method == "OPTIONS" || method == "TRACE";
  if (!t.repeatable) {
    curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, &Engine::onSending);
    curl_easy_setopt(e, CURLOPT_PREREQDATA, &t);
  }
  if (method == "GET") {
    curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
  } else if (method == "HEAD") {
    curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
  } else {
    curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, method.c_str());
    if (t.hasBody || method == "POST" || method == "PUT" || method == "PATCH") {
      // Sent through the read callback, so a file body streams; as an upload libcurl adds no
      // form Content-Type of its own, and a missing body still goes out as Content-Length: 0.
      curl_easy_setopt(e, CURLOPT_UPLOAD, 1L);
      curl_easy_setopt(e, CURLOPT_INFILESIZE_LARGE,
                       static_cast<curl_off_t>(t.hasBody ? t.bodySize : 0));
      curl_easy_setopt(e, CURLOPT_READFUNCTION, &Engine::onRead);
      curl_easy_setopt(e, CURLOPT_READDATA, &t);
      curl_easy_setopt(e, CURLOPT_SEEKFUNCTION, &Engine::onSeek);
      curl_easy_setopt(e, CURLOPT_SEEKDATA, &t);
    }
  }

  curl_slist_free_all(t.headers);
  t.headers = nullptr;
  auto add = [&](const std::string& line) {
    if (curl_slist* next = curl_slist_append(t.headers, line.c_str())) t.headers = next;
  };
  for (const auto& [name, value] : t.request.orderedHTTPHeaderFields()) {
    if (!sendable(name, value)) continue;
    // libcurl drops "Name:" as a removal; "Name;" is its spelling of an empty header.
    add(value.empty() ? name + ";" : name + ": " + value);
  }
  if (!t.request.value("Content-Type")) add("Content-Type:");
  if (!t.request.value("Expect")) add("Expect:");
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, t.headers);

  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Engine::onHeader);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, &t);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Engine::onWrite);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &t);
  // Only a body's progress is reported; what arrives is seen by the header and data callbacks.
  if (t.hasBody) {
    curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, &Engine::onProgress);
    curl_easy_setopt(e, CURLOPT_XFERINFODATA, &t);
    curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
  }
  if (t.env->trace) {
    curl_easy_setopt(e, CURLOPT_DEBUGFUNCTION, &Engine::onDebug);
    curl_easy_setopt(e, CURLOPT_DEBUGDATA, &t);
    curl_easy_setopt(e, CURLOPT_VERBOSE, 1L);
  }
}

long Engine::endHop(Transfer& t) {
  if (t.easy == nullptr) return 0;
  long connects = 0;
  if (curl_easy_getinfo(t.easy, CURLINFO_NUM_CONNECTS, &connects) == CURLE_OK && connects > 0) {
    connections_ += static_cast<std::uint64_t>(connects);
  }
  curl_multi_remove_handle(multi_, t.easy);
  release(t.easy);
  t.easy = nullptr;
  curl_slist_free_all(t.headers);
  t.headers = nullptr;
  return connects;
}

void Engine::finished(Transfer& t, CURLcode code) {
  if (code == CURLE_OK && t.hasBody) {
    curl_off_t sent = 0;
    curl_easy_getinfo(t.easy, CURLINFO_SIZE_UPLOAD_T, &sent);
    reportSent(t, sent);
  }
  const bool reused = endHop(t) == 0;
  if (t.localError) return complete(t, t.localError);
  // A kept-alive connection the server has closed can still pass for open; libcurl then tries
  // other cached ones, which may be just as closed. Before any answer a repeatable request
  // goes once more, on a new connection; another one only if it never went out.
  const bool lost =
      code == CURLE_SEND_ERROR || code == CURLE_RECV_ERROR || code == CURLE_GOT_NOTHING;
  if (((lost && reused && t.status == 0 && t.repeatable) || t.connectionClosing) &&
      !t.retriedOnNewConnection) {
    t.retriedOnNewConnection = true;
    t.newConnection = true;
    return startHop(t);
  }
  if (t.resendRefused || t.connectionClosing) {
    return complete(t, NSError::urlError(NSURLErrorNetworkConnectionLost, t.urlText()));
  }
  if (code != CURLE_OK) return complete(t, t.errorFor(code));
  if (t.expectRefusal) {
    // The body had gone out already, so libcurl did not try again: the 417 is the answer.
    return finishWith(t, std::exchange(t.expectRefusal, nullptr),
                      std::exchange(t.expectRefusalBody, {}));
  }
  if (t.redirectTarget) return redirect(t);
  if (t.awaitingDisposition) {
    t.heldEnd = true;
    return;
  }
  complete(t, std::nullopt);
}

int Engine::onSocketOpened(void* user, curl_socket_t socket, curlsocktype purpose) {
  auto& sockets = static_cast<Transfer*>(user)->engine->group_.sockets;
  if (purpose == CURLSOCKTYPE_IPCXN &&
      std::find(sockets.begin(), sockets.end(), socket) == sockets.end()) {
    sockets.push_back(socket);
  }
  return CURL_SOCKOPT_OK;
}

int Engine::onSending(void* user, char* remoteIp, char* localIp, int remotePort, int localPort) {
  auto& t = *static_cast<Transfer*>(user);
  if (t.sends > 0) {
    // The same request again within the hop: only where the server did not act on it.
    if (!t.resendAllowed() || !rewindBody(t)) {
      t.resendRefused = true;
      return CURL_PREREQFUNC_ABORT;
    }
    t.sends += 1;
    if (std::exchange(t.expectRefusal, nullptr)) {
      // libcurl would send the host's Expect again, to be refused again; "Expect:" sends none.
      for (curl_slist* line = t.headers; line != nullptr; line = line->next) {
        if (::strncasecmp(line->data, "Expect:", 7) == 0) std::memcpy(line->data, "Expect:", 8);
      }
    }
    t.expectRefusalBody.clear();
    return CURL_PREREQFUNC_OK;
  }
  t.sends = 1;
  SSL* ssl = sslOf(t.easy);
  // A multiplexed connection carries other streams and control frames between requests;
  // libcurl's HTTP/2 layer reads those and tells a closing connection itself.
  t.multiplexed = speaksHttp2(ssl);
  long connects = 0;
  curl_easy_getinfo(t.easy, CURLINFO_NUM_CONNECTS, &connects);
  if (connects == 0 && !t.multiplexed &&
      serverClosing(t.engine->group_.sockets, {localIp, localPort}, {remoteIp, remotePort}, ssl)) {
    t.connectionClosing = true;
    return CURL_PREREQFUNC_ABORT;
  }
  return CURL_PREREQFUNC_OK;
}

void Engine::applyPause(Transfer& t) {
  if (t.easy == nullptr) return;
  int mask = (t.suspended ? CURLPAUSE_ALL : 0) | (t.receivePaused ? CURLPAUSE_RECV : 0);
  curl_easy_pause(t.easy, mask == 0 ? CURLPAUSE_CONT : mask);
}

void Engine::checkInvalidation() {
  if (!invalidatedSession_ || !transfers_.empty()) return;
  auto session = std::move(invalidatedSession_);
  invalidatedSession_.reset();
  auto delegate = delegate_->get();
  toDelegateQueue([session, delegate, slot = delegate_] {
    if (delegate) delegate->didBecomeInvalidWithError(session, std::nullopt);
    slot->release();
  });
}

}  // namespace Foundation::Networking
