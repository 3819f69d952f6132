#include "ZTAccounts.hpp"

#include <memory>

#include "ZTEvents.hpp"
#include "ZTOAuth/ZTOAuthScreens.hpp"
#include "ZTOAuth/ZTOAuthUtilites/ZTPKCE.hpp"
#include "ZTTokenUtilites.hpp"

namespace ZentrelSDK {

namespace {
// The class itself is the listeners' target, as one object for every call.
const int accountsTarget = 0;
}  // namespace

bool ZTAccounts::auth(bool enableBiometrics, std::function<void(bool)> completion) {
  auto presenter = ZTOAuthScreens::entrancePresenter();
  if (!presenter || !presenter->presentEntrance(enableBiometrics)) return false;
  if (completion) {
    auto shared = std::make_shared<std::function<void(bool)>>(std::move(completion));
    auto& events = *ZTEvents::shared();
    events.authEventListen(&accountsTarget, [shared] {
      (*shared)(true);
      ZTEvents::shared()->unregiterEvents(&accountsTarget);
    });
    events.authCancelEventListen(&accountsTarget, [shared] {
      (*shared)(false);
      ZTEvents::shared()->unregiterEvents(&accountsTarget);
    });
  }
  return true;
}

void ZTAccounts::logout() {
  ZTTokenUtilites::shared()->clearTokens();
  ZTPKCE::clearCodes();
}

}  // namespace ZentrelSDK
