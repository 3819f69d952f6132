#pragma once

#include <memory>

#include "Foundation/HTTPCookieStorage.hpp"

namespace Foundation {

// Swift's URLSessionConfiguration. A session keeps its own copy: changing a configuration after
// the session was made changes nothing in that session.
struct URLSessionConfiguration {
  // Swift `URLSessionConfiguration.default`: cookies kept in and sent from the shared store.
  static URLSessionConfiguration defaultConfiguration();

  // nullptr: the session neither sends nor keeps cookies.
  std::shared_ptr<HTTPCookieStorage> httpCookieStorage;
};

}  // namespace Foundation
