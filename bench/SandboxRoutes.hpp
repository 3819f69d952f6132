#pragma once

#include <Foundation/NetworkEnvironment.hpp>
#include <sandbox/Sandbox.hpp>

// Sends the kit's host names to the in-process sandbox and trusts its CA, as the tests do.
namespace benchsandbox {

inline void routeTo(const sandbox::Sandbox& server) {
  for (const auto& route : server.routes()) Foundation::NetworkEnvironment::addRoute(route);
  Foundation::NetworkEnvironment::setAnchorCertificates(server.caPem());
}

}  // namespace benchsandbox
