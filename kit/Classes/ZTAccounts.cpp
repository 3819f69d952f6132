#include "ZTAccounts.hpp"

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include <Dispatch/DispatchQueue.hpp>

#include "ZTAuth/Entrance/ZTEntranceViewController.hpp"
#include "ZTAuth/Entrance/ZTEntranceViewModel.hpp"
#include "ZTEvents.hpp"
#include "ZTExtensions/ZTUIApplication.hpp"
#include "ZTOAuth/ZTOAuthUtilites/ZTPKCE.hpp"
#include "ZTTokenUtilites.hpp"

namespace ZentrelSDK {

namespace {

// The class itself is the listeners' target, as one object for every call.
const int accountsTarget = 0;

// Every caller waiting for the sign-in; one auth or cancel event answers them all.
struct Waiting {
  std::mutex mutex;
  std::vector<std::function<void(bool)>> callers;
};

Waiting& waiting() {
  static Waiting instance;
  return instance;
}

void answerAll(bool signedIn) {
  std::vector<std::function<void(bool)>> callers;
  {
    std::lock_guard lock(waiting().mutex);
    callers.swap(waiting().callers);
  }
  ZTEvents::shared()->unregiterEvents(&accountsTarget);
  for (const auto& caller : callers) caller(signedIn);
}

}  // namespace

bool ZTAccounts::auth(bool /*enableBiometrics*/, std::function<void(bool)> completion) {
  auto top = ZTUIApplication::topViewController();
  if (!top) {
    // Nothing to sign in on: the caller would otherwise wait for ever.
    if (completion) completion(false);
    return false;
  }
  // A second caller joins the entrance already up: two would each emit the auth event.
  if (!std::dynamic_pointer_cast<ZTEntranceViewController>(top)) {
    auto screen =
        std::make_shared<ZTEntranceViewController>(std::make_shared<ZTEntranceViewModel>());
    screen->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
    top->present(screen, true);
  }
  if (completion) {
    bool first = false;
    {
      std::lock_guard lock(waiting().mutex);
      first = waiting().callers.empty();
      waiting().callers.push_back(std::move(completion));
    }
    if (first) {
      auto& events = *ZTEvents::shared();
      events.authEventListen(&accountsTarget, [] { answerAll(true); });
      // Heard on a queue of its own; callers are answered on the main queue.
      events.authCancelEventListen(
          &accountsTarget, [] { Dispatch::DispatchQueue::main().async([] { answerAll(false); }); });
    }
  }
  return true;
}

void ZTAccounts::logout() {
  ZTTokenUtilites::shared()->clearTokens();
  ZTPKCE::clearCodes();
}

}  // namespace ZentrelSDK
