#include "ZTOAuth/ZTOAuthScreens.hpp"

#include <mutex>

namespace ZentrelSDK {

namespace {

struct Installed {
  std::mutex mutex;
  std::shared_ptr<ZTEntrancePresenting> entrance;
};

Installed& installed() {
  static Installed instance;
  return instance;
}

}  // namespace

void ZTOAuthScreens::setEntrancePresenter(std::shared_ptr<ZTEntrancePresenting> presenter) {
  std::lock_guard lock(installed().mutex);
  installed().entrance = std::move(presenter);
}

std::shared_ptr<ZTEntrancePresenting> ZTOAuthScreens::entrancePresenter() {
  std::lock_guard lock(installed().mutex);
  return installed().entrance;
}

}  // namespace ZentrelSDK
