#include "Foundation/URLSessionConfiguration.hpp"

namespace Foundation {

URLSessionConfiguration URLSessionConfiguration::defaultConfiguration() {
  URLSessionConfiguration configuration;
  configuration.httpCookieStorage = HTTPCookieStorage::shared();
  return configuration;
}

}  // namespace Foundation
