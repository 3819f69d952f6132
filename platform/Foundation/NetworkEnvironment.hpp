#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace Foundation {

// What one transfer wrote to or read from the wire, or the transport's own remark.
struct NetworkTrace {
  enum class Kind { text, headerOut, headerIn };
  Kind kind = Kind::text;
  std::uintptr_t session = 0;  // address of the URLSession
  std::uint64_t taskIdentifier = 0;
  std::string bytes;  // exactly as sent or received
};

// The device's network as a host app or a test arranges it: host names routed to other
// addresses (as a local DNS override would) and the certificate authorities trusted. Applies to
// transfers that start afterwards, in every session. Certificate and host name checks always
// stay on. Safe to call from any thread.
class NetworkEnvironment {
 public:
  // Connections to `host`:`hostPort` go to `address`:`port`; the request keeps its URL, Host
  // header and TLS name. A later route for the same host and port replaces the earlier one.
  // False (and nothing changed) for an empty host or address or a port outside 1...65535.
  static bool addRoute(std::string_view host, int hostPort, std::string_view address, int port);
  // The same, written "host:hostPort:address:port".
  static bool addRoute(std::string_view route);

  // While set, the given PEM certificates are the only trust anchors (the system's are not
  // used); nullopt goes back to the system's anchors.
  static void setAnchorCertificates(std::optional<std::string> pem);

  // Receives every transfer's request and response headers as they cross the wire, and the
  // transport's remarks, on the sessions' own threads: the handler must be thread-safe.
  // nullptr turns tracing off.
  static void setTraceHandler(std::function<void(const NetworkTrace&)> handler);

  // No routes, the system's anchors, no tracing.
  static void reset();
};

}  // namespace Foundation
