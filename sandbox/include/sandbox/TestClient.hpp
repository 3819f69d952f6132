// A tiny HTTPS/1.1 client for the sandbox's own tests (and any test that must send exact bytes):
// connects to 127.0.0.1:<port>, sends SNI and Host for a real host name, trusts only the given CA
// and verifies the certificate for that name. One request per connection ("Connection: close").
#pragma once

#include "sandbox/Sandbox.hpp"

#include <nlohmann/json.hpp>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sandbox::testing {

struct Response {
  std::string
      error;  // "" on success; else the transport failure (TLS, empty reply, truncated, ...)
  int status = 0;
  std::string reason;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;  // de-chunked
  std::string raw;   // every byte received after the TLS handshake
  bool chunked = false;
  bool complete = false;                // the answer's framing was complete
  std::string peerSubject, peerIssuer;  // one-line forms of the server certificate's names

  std::optional<std::string> header(std::string_view name) const;  // case-insensitive, first
  nlohmann::json json() const;                                     // discarded value when not JSON
};

struct Request {
  std::string method = "GET";
  std::string host = "id.zentrel.com";  // SNI, Host header and the name verified
  std::string target = "/";
  std::vector<std::pair<std::string, std::string>> headers;  // sent as given, in order
  std::optional<std::string> body;                           // sent with Content-Length
  std::optional<std::string> verifyName;                     // default: host
  bool addHost = true;          // add "Host: <host>" unless headers carry one
  bool connectionClose = true;  // add "Connection: close" unless headers carry one
  std::chrono::milliseconds timeout{10000};
};

Response send(int port, const std::string& caPem, const Request& request);
Response send(const Sandbox& sandbox, const Request& request);
// Sends `bytes` exactly (after the TLS handshake with `sni`) and reads one answer.
Response exchange(int port, const std::string& caPem, const std::string& sni,
                  const std::string& bytes,
                  std::chrono::milliseconds timeout = std::chrono::seconds(10),
                  bool headRequest = false, const std::string& verifyName = {});

Response get(const Sandbox& sandbox, const std::string& host, const std::string& target,
             const std::string& bearer = {});
Response postJson(const Sandbox& sandbox, const std::string& host, const std::string& target,
                  const std::string& body, const std::string& bearer = {});
Response postForm(const Sandbox& sandbox, const std::string& host, const std::string& target,
                  const std::string& body, const std::string& bearer = {});
// The kit's upload framing: one field "file", file name "file.jpg", image/jpeg.
Response postFile(const Sandbox& sandbox, const std::string& host, const std::string& target,
                  const std::string& fileBytes, const std::string& bearer = {});
std::string multipartBody(const std::string& boundary, const std::string& fileBytes);

// Small helpers for tests.
std::string base64(std::string_view bytes);            // standard alphabet with padding
std::string pkceChallenge(std::string_view verifier);  // BASE64URL-NOPAD(SHA-256(verifier))
std::string sha256Hex(std::string_view bytes);
std::string randomToken();                         // 43 base64url characters
std::string percentEncode(std::string_view text);  // unreserved characters kept
std::optional<std::string> queryItem(std::string_view url,
                                     std::string_view name);  // first, decoded
struct UrlParts {
  std::string host, target;  // "https://h/p?q" -> "h", "/p?q"; a relative "/p" -> "", "/p"
};
UrlParts splitUrl(std::string_view url);

}  // namespace sandbox::testing
