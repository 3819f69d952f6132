#include "Foundation/NetworkEnvironment.hpp"

#include <charconv>
#include <mutex>
#include <vector>

#include "Foundation/Networking/Environment.hpp"

namespace Foundation {

namespace {

struct Route {
  std::string host;
  int hostPort;
  std::string address;
  int port;
};

struct State {
  std::mutex mutex;
  std::vector<Route> routes;
  std::optional<std::string> anchors;
  std::shared_ptr<const std::function<void(const NetworkTrace&)>> trace;
  std::shared_ptr<const Networking::EnvironmentSnapshot> snapshot;  // rebuilt after a change
};

State& state() {
  static auto* s = new State;  // transfers may still read it while the process exits
  return *s;
}

bool validPort(int port) {
  return port >= 1 && port <= 65535;
}

bool validName(std::string_view name) {
  return !name.empty() && name.find_first_of(" \t\r\n:") == std::string_view::npos;
}

// A name or an IPv4 literal, or an IPv6 literal in brackets.
bool validAddress(std::string_view address) {
  if (address.size() > 2 && address.front() == '[' && address.back() == ']') {
    return address.substr(1, address.size() - 2).find_first_not_of("0123456789abcdefABCDEF:.") ==
           std::string_view::npos;
  }
  return validName(address);
}

std::optional<int> parsePort(std::string_view text) {
  int port = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (ec != std::errc() || end != text.data() + text.size() || !validPort(port)) {
    return std::nullopt;
  }
  return port;
}

}  // namespace

bool NetworkEnvironment::addRoute(std::string_view host, int hostPort, std::string_view address,
                                  int port) {
  if (!validName(host) || !validAddress(address) || !validPort(hostPort) || !validPort(port)) {
    return false;
  }
  auto& s = state();
  std::lock_guard lock(s.mutex);
  std::erase_if(s.routes, [&](const Route& r) { return r.host == host && r.hostPort == hostPort; });
  s.routes.push_back(Route{std::string(host), hostPort, std::string(address), port});
  s.snapshot.reset();
  return true;
}

bool NetworkEnvironment::addRoute(std::string_view route) {
  std::vector<std::string_view> parts;
  for (;;) {
    const auto colon = route.find(':');
    parts.push_back(route.substr(0, colon));
    if (colon == std::string_view::npos) break;
    route.remove_prefix(colon + 1);
  }
  if (parts.size() != 4) return false;
  const auto hostPort = parsePort(parts[1]);
  const auto port = parsePort(parts[3]);
  if (!hostPort || !port) return false;
  return addRoute(parts[0], *hostPort, parts[2], *port);
}

void NetworkEnvironment::setAnchorCertificates(std::optional<std::string> pem) {
  auto& s = state();
  std::lock_guard lock(s.mutex);
  s.anchors = std::move(pem);
  s.snapshot.reset();
}

void NetworkEnvironment::setTraceHandler(std::function<void(const NetworkTrace&)> handler) {
  auto& s = state();
  // The old handler goes after the lock: it may hold the last reference to a session, whose
  // end takes the transport, under which transfers read this state.
  std::shared_ptr<const std::function<void(const NetworkTrace&)>> trace =
      handler ? std::make_shared<const std::function<void(const NetworkTrace&)>>(std::move(handler))
              : nullptr;
  std::shared_ptr<const Networking::EnvironmentSnapshot> snapshot;
  std::lock_guard lock(s.mutex);
  s.trace.swap(trace);
  s.snapshot.swap(snapshot);
}

void NetworkEnvironment::reset() {
  auto& s = state();
  std::shared_ptr<const std::function<void(const NetworkTrace&)>> trace;  // as above
  std::shared_ptr<const Networking::EnvironmentSnapshot> snapshot;
  std::lock_guard lock(s.mutex);
  s.routes.clear();
  s.anchors.reset();
  s.trace.swap(trace);
  s.snapshot.swap(snapshot);
}

namespace Networking {

std::shared_ptr<const EnvironmentSnapshot> currentEnvironment() {
  auto& s = state();
  std::lock_guard lock(s.mutex);
  if (!s.snapshot) {
    auto snapshot = std::make_shared<EnvironmentSnapshot>();
    for (const auto& r : s.routes) {
      const std::string entry = r.host + ":" + std::to_string(r.hostPort) + ":" + r.address + ":" +
                                std::to_string(r.port);
      if (curl_slist* next = curl_slist_append(snapshot->connectTo, entry.c_str())) {
        snapshot->connectTo = next;
      }
    }
    snapshot->anchorsPem = s.anchors;
    snapshot->trace = s.trace;
    s.snapshot = std::move(snapshot);
  }
  return s.snapshot;
}

}  // namespace Networking

}  // namespace Foundation
