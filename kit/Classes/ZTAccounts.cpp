#include "ZTAccounts.hpp"

#include <utility>

#include "ZTAuth/Entrance/ZTEntranceViewController.hpp"
#include "ZTOAuth/ZTOAuthUtilites/ZTPKCE.hpp"
#include "ZTTokenUtilites.hpp"

namespace ZentrelSDK {

bool ZTAccounts::auth(bool /*enableBiometrics*/, std::function<void(bool)> completion) {
  // A caller joins the sign-in of the entrance up; one that comes while it leaves gets a new
  // entrance, and hears what comes of that one.
  auto entrance = ZTEntranceViewController::joinable();
  if (!entrance) entrance = ZTEntranceViewController::open();
  if (!entrance) {
    // Nothing to sign in on: the caller would otherwise wait for ever.
    if (completion) completion(false);
    return false;
  }
  entrance->addCaller(std::move(completion));
  return true;
}

void ZTAccounts::logout() {
  ZTTokenUtilites::shared()->clearTokens();
  ZTPKCE::clearCodes();
}

}  // namespace ZentrelSDK
