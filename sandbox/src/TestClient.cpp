#include "sandbox/TestClient.hpp"

#include "Util.hpp"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <memory>

namespace sandbox::testing {

using detail::iequals;

std::optional<std::string> Response::header(std::string_view name) const {
  for (const auto& [k, v] : headers) {
    if (iequals(k, name)) return v;
  }
  return std::nullopt;
}

nlohmann::json Response::json() const {
  return nlohmann::json::parse(body, nullptr, false);
}

namespace {

std::string sslError(const char* what) {
  const unsigned long e = ERR_get_error();
  char buf[256] = {0};
  if (e != 0) ERR_error_string_n(e, buf, sizeof buf);
  ERR_clear_error();
  return std::string(what) + (e != 0 ? std::string(": ") + buf : std::string());
}

std::string nameLine(X509_NAME* name) {
  if (name == nullptr) return {};
  char buf[512] = {0};
  X509_NAME_oneline(name, buf, sizeof buf);
  return buf;
}

enum class Framing { Incomplete, Complete };

// Parses `raw` as far as it goes. Fills response fields; returns Complete when the answer is whole.
Framing parse(const std::string& raw, bool headRequest, bool eof, Response& r) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t headEnd = raw.find("\r\n\r\n", start);
    if (headEnd == std::string::npos) return Framing::Incomplete;
    const std::string head = raw.substr(start, headEnd - start);
    r.headers.clear();
    r.chunked = false;
    const std::size_t lineEnd = head.find("\r\n");
    const std::string statusLine = head.substr(0, lineEnd);
    // HTTP/1.1 200 OK
    const std::size_t sp1 = statusLine.find(' ');
    const std::size_t sp2 =
        sp1 == std::string::npos ? std::string::npos : statusLine.find(' ', sp1 + 1);
    r.status = static_cast<int>(
        detail::parseInteger(sp1 == std::string::npos ? ""
                                                      : statusLine.substr(sp1 + 1, sp2 - sp1 - 1))
            .value_or(0));
    r.reason = sp2 == std::string::npos ? std::string() : statusLine.substr(sp2 + 1);
    std::size_t pos = lineEnd == std::string::npos ? head.size() : lineEnd + 2;
    while (pos < head.size()) {
      std::size_t end = head.find("\r\n", pos);
      if (end == std::string::npos) end = head.size();
      const std::string line = head.substr(pos, end - pos);
      const std::size_t colon = line.find(':');
      if (colon != std::string::npos) {
        std::string v = line.substr(colon + 1);
        while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.erase(0, 1);
        while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.pop_back();
        r.headers.emplace_back(line.substr(0, colon), v);
      }
      pos = end + 2;
    }
    const std::size_t bodyStart = headEnd + 4;
    if (r.status >= 100 && r.status < 200) {  // interim answer: the real one follows
      start = bodyStart;
      continue;
    }
    r.body.clear();
    if (headRequest || r.status == 204 || r.status == 304) return Framing::Complete;
    const auto te = r.header("Transfer-Encoding");
    if (te && detail::lower(*te).find("chunked") != std::string::npos) {
      r.chunked = true;
      std::size_t p = bodyStart;
      for (;;) {
        const std::size_t le = raw.find("\r\n", p);
        if (le == std::string::npos) return Framing::Incomplete;
        std::string sizeText = raw.substr(p, le - p);
        if (const std::size_t semi = sizeText.find(';'); semi != std::string::npos)
          sizeText.resize(semi);
        std::size_t size = 0;
        try {
          size = std::stoul(sizeText, nullptr, 16);
        } catch (...) {
          return Framing::Incomplete;
        }
        if (size == 0)
          return raw.find("\r\n", le + 2) != std::string::npos ? Framing::Complete
                                                               : Framing::Incomplete;
        if (le + 2 + size > raw.size()) {
          r.body += raw.substr(le + 2);
          return Framing::Incomplete;
        }
        r.body += raw.substr(le + 2, size);
        p = le + 2 + size + 2;
        if (p > raw.size()) return Framing::Incomplete;
      }
    }
    if (const auto cl = r.header("Content-Length")) {
      const auto length = detail::parseInteger(*cl).value_or(0);
      r.body = raw.substr(bodyStart, static_cast<std::size_t>(length));
      return r.body.size() >= static_cast<std::size_t>(length) ? Framing::Complete
                                                               : Framing::Incomplete;
    }
    r.body = raw.substr(bodyStart);
    return eof ? Framing::Complete : Framing::Incomplete;  // close-delimited
  }
}

}  // namespace

Response exchange(int port, const std::string& caPem, const std::string& sni,
                  const std::string& bytes, std::chrono::milliseconds timeout, bool headRequest,
                  const std::string& verifyName) {
  Response r;
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    r.error = "socket failed";
    return r;
  }
  timeval tv{static_cast<time_t>(timeout.count() / 1000),
             static_cast<suseconds_t>((timeout.count() % 1000) * 1000)};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<std::uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    r.error = "connect failed";
    return r;
  }
  std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> ctx(SSL_CTX_new(TLS_client_method()),
                                                        SSL_CTX_free);
  SSL_CTX_set_min_proto_version(ctx.get(), TLS1_2_VERSION);
  {
    X509_STORE* store = SSL_CTX_get_cert_store(ctx.get());  // empty: no system CAs
    BIO* bio = BIO_new_mem_buf(caPem.data(), static_cast<int>(caPem.size()));
    while (X509* ca = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr)) {
      X509_STORE_add_cert(store, ca);
      X509_free(ca);
    }
    ERR_clear_error();
    BIO_free(bio);
  }
  SSL_CTX_set_verify(ctx.get(), SSL_VERIFY_PEER, nullptr);
  std::unique_ptr<SSL, decltype(&SSL_free)> ssl(SSL_new(ctx.get()), SSL_free);
  SSL_set_fd(ssl.get(), fd);
  if (!sni.empty()) SSL_set_tlsext_host_name(ssl.get(), sni.c_str());
  const std::string name = verifyName.empty() ? sni : verifyName;
  if (!name.empty()) {
    X509_VERIFY_PARAM* param = SSL_get0_param(ssl.get());
    in_addr ip{};
    if (::inet_pton(AF_INET, name.c_str(), &ip) == 1) {
      X509_VERIFY_PARAM_set1_ip_asc(param, name.c_str());
    } else {
      X509_VERIFY_PARAM_set1_host(param, name.c_str(), 0);
    }
  }
  if (SSL_connect(ssl.get()) != 1) {
    const long v = SSL_get_verify_result(ssl.get());
    r.error = v != X509_V_OK
                  ? std::string("certificate verify failed: ") + X509_verify_cert_error_string(v)
                  : sslError("TLS handshake failed");
    ::close(fd);
    return r;
  }
  if (X509* peer = SSL_get1_peer_certificate(ssl.get())) {
    r.peerSubject = nameLine(X509_get_subject_name(peer));
    r.peerIssuer = nameLine(X509_get_issuer_name(peer));
    X509_free(peer);
  }
  std::size_t off = 0;
  while (off < bytes.size()) {
    const int n = SSL_write(ssl.get(), bytes.data() + off,
                            static_cast<int>(std::min<std::size_t>(bytes.size() - off, 1 << 20)));
    if (n <= 0) break;  // the server may answer before reading everything
    off += static_cast<std::size_t>(n);
  }
  char buf[16384];
  bool eof = false;
  for (;;) {
    const int n = SSL_read(ssl.get(), buf, sizeof buf);
    if (n <= 0) {
      eof = true;
      break;
    }
    r.raw.append(buf, static_cast<std::size_t>(n));
    Response probe;
    if (parse(r.raw, headRequest, false, probe) == Framing::Complete) break;
  }
  ERR_clear_error();
  SSL_shutdown(ssl.get());
  ::close(fd);
  if (r.raw.empty()) {
    r.error = "empty reply from server";
    return r;
  }
  r.complete = parse(r.raw, headRequest, eof, r) == Framing::Complete;
  if (!r.complete) r.error = "transfer closed before the answer was complete";
  return r;
}

Response send(int port, const std::string& caPem, const Request& request) {
  std::string bytes = request.method + " " + request.target + " HTTP/1.1\r\n";
  bool hasHost = false, hasConnection = false;
  for (const auto& [k, v] : request.headers) {
    hasHost = hasHost || iequals(k, "Host");
    hasConnection = hasConnection || iequals(k, "Connection");
  }
  if (request.addHost && !hasHost && !request.host.empty())
    bytes += "Host: " + request.host + "\r\n";
  for (const auto& [k, v] : request.headers) bytes += k + ": " + v + "\r\n";
  if (request.connectionClose && !hasConnection) bytes += "Connection: close\r\n";
  if (request.body) bytes += "Content-Length: " + std::to_string(request.body->size()) + "\r\n";
  bytes += "\r\n";
  if (request.body) bytes += *request.body;
  return exchange(port, caPem, request.host, bytes, request.timeout, request.method == "HEAD",
                  request.verifyName.value_or(std::string()));
}

Response send(const Sandbox& sandbox, const Request& request) {
  return send(sandbox.port(), sandbox.caPem(), request);
}

namespace {
Request base(const std::string& method, const std::string& host, const std::string& target,
             const std::string& bearer) {
  Request r;
  r.method = method;
  r.host = host;
  r.target = target;
  r.headers.emplace_back("Authorization", "Bearer " + bearer);
  return r;
}
}  // namespace

Response get(const Sandbox& sandbox, const std::string& host, const std::string& target,
             const std::string& bearer) {
  return send(sandbox, base("GET", host, target, bearer));
}

Response postJson(const Sandbox& sandbox, const std::string& host, const std::string& target,
                  const std::string& body, const std::string& bearer) {
  Request r = base("POST", host, target, bearer);
  r.body = body;
  return send(sandbox, r);
}

Response postForm(const Sandbox& sandbox, const std::string& host, const std::string& target,
                  const std::string& body, const std::string& bearer) {
  Request r = base("POST", host, target, bearer);
  r.headers.emplace_back("Content-type", "application/x-www-form-urlencoded");
  r.body = body;
  return send(sandbox, r);
}

std::string multipartBody(const std::string& boundary, const std::string& fileBytes) {
  return "--" + boundary +
         "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"file.jpg\"\r\n" +
         "Content-Type: image/jpeg\r\n\r\n" + fileBytes + "\r\n--" + boundary + "--\r\n";
}

Response postFile(const Sandbox& sandbox, const std::string& host, const std::string& target,
                  const std::string& fileBytes, const std::string& bearer) {
  const std::string boundary = "3F2A9C1E-7B4D-4E8F-9A1B-2C3D4E5F6A7B";
  Request r = base("POST", host, target, bearer);
  r.headers.emplace_back("Content-Type", "multipart/form-data; boundary=" + boundary);
  r.body = multipartBody(boundary, fileBytes);
  return send(sandbox, r);
}

std::string base64(std::string_view bytes) {
  return detail::base64(bytes);
}
std::string pkceChallenge(std::string_view verifier) {
  return detail::base64urlNoPad(detail::sha256(verifier));
}
std::string sha256Hex(std::string_view bytes) {
  return detail::sha256Hex(bytes);
}
std::string randomToken() {
  return detail::randomToken();
}
std::string percentEncode(std::string_view text) {
  return detail::percentEncode(text);
}

std::optional<std::string> queryItem(std::string_view url, std::string_view name) {
  const std::size_t q = url.find('?');
  if (q == std::string_view::npos) return std::nullopt;
  std::string_view query = url.substr(q + 1);
  if (const std::size_t hash = query.find('#'); hash != std::string_view::npos)
    query = query.substr(0, hash);
  return detail::first(detail::parseQuery(query), name);
}

UrlParts splitUrl(std::string_view url) {
  UrlParts parts;
  const std::size_t scheme = url.find("://");
  if (scheme == std::string_view::npos) {
    parts.target = std::string(url);
    return parts;
  }
  const std::string_view rest = url.substr(scheme + 3);
  const std::size_t slash = rest.find_first_of("/?");
  parts.host = std::string(rest.substr(0, slash));
  parts.target = slash == std::string_view::npos ? "/" : std::string(rest.substr(slash));
  if (!parts.target.empty() && parts.target.front() == '?') parts.target.insert(0, "/");
  return parts;
}

}  // namespace sandbox::testing
