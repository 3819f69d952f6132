// The smallest host: it includes only the umbrella and calls only the kit, so the platform
// library is not among its own needs and must be found through the kit's.

#include <ZentrelSDK.hpp>

#include <iostream>

int main() {
  using namespace ZentrelSDK;
  ZTSecurityManager::initialOAuth("package-check-plain");
  const auto path = ZTConstants::getAuthCheckPath();
  std::cout << "auth check path: " << path << "\n";
  if (path.empty()) return 1;
  std::cout << "1 passed, 0 failed\n";
  return 0;
}
