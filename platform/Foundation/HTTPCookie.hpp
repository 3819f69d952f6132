#pragma once

#include <optional>
#include <string>

#include "Foundation/Date.hpp"

namespace Foundation {

// Swift's HTTPCookie, as the cookie store holds it. A domain that starts with "." also
// matches its subdomains; one without is the host that set the cookie (host-only).
struct HTTPCookie {
  std::string name;
  std::string value;
  std::string domain;
  std::string path = "/";
  std::optional<Date> expiresDate;  // none: the cookie lasts as long as the process
  bool isSecure = false;
  bool isHTTPOnly = false;

  bool isSessionOnly() const { return !expiresDate.has_value(); }
  bool operator==(const HTTPCookie&) const = default;
};

}  // namespace Foundation
