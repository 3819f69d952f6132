// zentrel-example: a host app showing what the kit can do.
#include <ZentrelSDK.hpp>

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/RunLoop.hpp>
#include <Foundation/Thread.hpp>

#include <iostream>

using namespace ZentrelSDK;

int main() {
  std::cout << "== Servers\n";
  for (bool dev : {false, true}) {
    ZTConstants::enableDevServer = dev;
    std::cout << (dev ? "development" : "production") << ":\n"
              << "  sign-in     " << ZTConstants::getAuthPath() << "\n"
              << "  OAuth token " << ZTConstants::getOAuthTokenPath() << "\n"
              << "  user data   " << ZTConstants::getZentrelAPIFullPath("/user") << "\n";
  }
  ZTConstants::enableDevServer = false;

  std::cout << "== Events\n";
  int owner = 0;
  bool heard = false;
  ZTEvents::shared()->oauthCodeEventListen(&owner, [&](std::optional<std::string> code) {
    std::cout << "  heard code \"" << code.value_or("") << "\" on the "
              << (Foundation::Thread::isMainThread() ? "main" : "other") << " thread\n";
    heard = true;
  });
  Dispatch::DispatchQueue::global().async([] {
    std::cout << "  emitting from a worker thread\n";
    ZTEvents::shared()->oauthCodeEventEmit(std::string("example-code"));
  });
  Foundation::RunLoop::main().runUntil([&] { return heard; }, 5.0);
  ZTEvents::shared()->unregiterEvents(&owner);
  return heard ? 0 : 1;
}
