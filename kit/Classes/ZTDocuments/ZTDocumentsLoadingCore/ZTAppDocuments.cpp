#include "ZTDocuments/ZTDocumentsLoadingCore/ZTAppDocuments.hpp"

#include <utility>

#include "ZTAPI/ZTPrivateAPP.hpp"
#include "ZTOAuth/ZTOAuthCore.hpp"

namespace ZentrelSDK {

namespace {

void reportSuccess(const ZTAppDocuments::Completion& completion) {
  if (completion) completion(true, ZTOAuthError(0, ""));
}

}  // namespace

const std::shared_ptr<ZTAppDocuments>& ZTAppDocuments::shared() {
  static const std::shared_ptr<ZTAppDocuments> instance(new ZTAppDocuments());
  return instance;
}

std::vector<ZTPublicConstants::DocumentType> ZTAppDocuments::dockTypeList() const {
  std::lock_guard lock(mutex_);
  return dockTypeList_;
}
void ZTAppDocuments::setDockTypeList(std::vector<ZTPublicConstants::DocumentType> list) {
  std::lock_guard lock(mutex_);
  dockTypeList_ = std::move(list);
}
std::vector<ZTScopes> ZTAppDocuments::scopes() const {
  std::lock_guard lock(mutex_);
  return scopes_;
}
void ZTAppDocuments::setScopes(std::vector<ZTScopes> scopes) {
  std::lock_guard lock(mutex_);
  scopes_ = std::move(scopes);
}
ZTAppDocuments::Completion ZTAppDocuments::appCompletion() const {
  std::lock_guard lock(mutex_);
  return appCompletion_;
}
void ZTAppDocuments::setAppCompletion(Completion completion) {
  std::lock_guard lock(mutex_);
  appCompletion_.swap(completion);  // the old one goes after the lock
}

void ZTAppDocuments::updateDockInfo(Completion completion) {
  setAppCompletion(completion);
  requestRequiredDocks(std::move(completion));
}

void ZTAppDocuments::parseScopes() {
  reportSuccess(appCompletion());
}

void ZTAppDocuments::getRequiredDocks() {
  requestRequiredDocks(appCompletion());
}

// The completion travels with its own request: an overlapping call must not take its answer.
void ZTAppDocuments::requestRequiredDocks(Completion completion) {
  const std::weak_ptr<ZTAppDocuments> weak = weak_from_this();
  auto onFailure = [completion](ZTOAuthError error) {
    if (completion) completion(false, std::move(error));
  };
  ZTPrivateAPP::getAPPDockScopes(
      ZTOAuthCore::shared()->getAppId(), /*clearCookie=*/false,
      [weak, completion](std::optional<ZTPrivateAPP::DocumentTypes> list) {
        const auto self = weak.lock();
        if (!self) return;
        self->setDockTypeList(std::move(list).value_or(ZTPrivateAPP::DocumentTypes{}));
        reportSuccess(completion);
      },
      std::move(onFailure));
}

}  // namespace ZentrelSDK
