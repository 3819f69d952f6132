#pragma once

#include <utility>

#include <Foundation/NetworkEnvironment.hpp>
#include <sandbox/Sandbox.hpp>

namespace benchsandbox {

// The in-process sandbox, with the kit's host names sent to it and its CA trusted, as the
// tests do.
class RoutedSandbox : public sandbox::Sandbox {
 public:
  explicit RoutedSandbox(sandbox::Sandbox::Options options = {})
      : sandbox::Sandbox(std::move(options)) {
    for (const auto& route : routes()) Foundation::NetworkEnvironment::addRoute(route);
    Foundation::NetworkEnvironment::setAnchorCertificates(caPem());
  }
};

}  // namespace benchsandbox
