#include "ZTOAuth/ZTOAuthCore.hpp"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/Thread.hpp>

#include "ZTEvents.hpp"
#include "ZTLogger.hpp"
#include "ZTNetworkCore/ZTNetworkCore.hpp"
#include "ZTOAuth/ZTOAuthUtilites/ZTOAuthRedirectManager.hpp"
#include "ZTOAuth/ZTOAuthUtilites/ZTPKCE.hpp"
#include "ZTTokenUtilites.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"

namespace ZentrelSDK {

namespace {

std::mutex& configMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

std::optional<ZTOAuthCore::Config>& ZTOAuthCore::config() {
  static std::optional<Config> stored;
  return stored;
}

void ZTOAuthCore::setup(Config newConfig) {
  std::lock_guard lock(configMutex());
  config() = std::move(newConfig);
}

const std::shared_ptr<ZTOAuthCore>& ZTOAuthCore::shared() {
  static const std::shared_ptr<ZTOAuthCore> instance = [] {
    std::optional<Config> stored;
    {
      std::lock_guard lock(configMutex());
      stored = config();
    }
    if (!stored) {
      const char* message = "Error - you must call setup before accessing ZTOAuthCore.shared";
      ZTLogger::errorLog(message);
      std::fprintf(stderr, "%s\n", message);
      std::abort();
    }
    return std::shared_ptr<ZTOAuthCore>(new ZTOAuthCore(stored->appId));
  }();
  return instance;
}

ZTOAuthCore::ZTOAuthCore(std::string appId) : currentAppId(std::move(appId)) {
  // The network core keeps the manager; the core never needs it by itself.
  auto redirectManager = std::make_shared<ZTOAuthRedirectManager>();
  redirectManager->updateOauthStep(ZTOAuthStep::login);
  redirectManager->beginListeninngForRedirections();
}

ZTOAuthCore::~ZTOAuthCore() {
  ZTEvents::shared()->unregiterEvents(this);
}

std::string ZTOAuthCore::getAppId() const {
  return currentAppId;
}

void ZTOAuthCore::givePermissions(std::function<void(bool)> completion) {
  if (ZTTokenUtilites::shared()->getOAuthToken()) {
    if (completion) completion(true);
    return;
  }
  // The screens belong to the main thread; the host asks there.
  if (Foundation::Thread::isMainThread()) endFlowIfItsScreenWent();
  {
    std::lock_guard lock(completionsMutex);
    if (completion) oauthCompletions.push_back(std::move(completion));
    if (flowRunning) return;  // joins the running flow
    flowRunning = true;
  }
  initEventListeners();
  Dispatch::DispatchQueue::main().async([weak = weak_from_this()] {
    auto self = weak.lock();
    if (!self) return;
    self->flow.begin();
    self->awaitingSignIn = false;
    self->screenGone = nullptr;
    self->tempLoginChallenge.reset();
    self->tempConsentChallenge.reset();
    ZTUIUtilites::shared()->loaderStartThen(
        self->inFlow([](ZTOAuthCore& core) { core.checkAuth(); }));
  });
}

void ZTOAuthCore::completeOauth(bool granted) {
  for (auto& asker : closeFlow()) asker(granted);
}

std::vector<std::function<void(bool)>> ZTOAuthCore::closeFlow() {
  ZTEvents::shared()->unregiterEvents(this);
  ZTPKCE::clearCodes();
  screenGone = nullptr;
  std::vector<std::function<void(bool)>> askers;
  {
    std::lock_guard lock(completionsMutex);
    askers.swap(oauthCompletions);
    flowRunning = false;
  }
  if (auto listener = ZTNetworkCore::getCurrentRedirectManager(); listener.isSuccess()) {
    if (auto manager = std::dynamic_pointer_cast<ZTOAuthRedirectManager>(listener.value()))
      manager->expectState(std::nullopt);
  }
  return askers;
}

void ZTOAuthCore::endFlowIfItsScreenWent() {
  if (flow.ended() || !screenGone || !screenGone()) return;
  // Its answer can only be a no now, and whoever asks from here on starts a flow of their own.
  flow.end();
  awaitingSignIn = false;
  auto askers = closeFlow();
  if (askers.empty()) return;
  Dispatch::DispatchQueue::main().async([askers = std::move(askers)] {
    for (const auto& asker : askers) asker(false);
  });
}

void ZTOAuthCore::signInEnded(bool signedIn) {
  if (flow.ended() || !awaitingSignIn) return;
  awaitingSignIn = false;
  screenGone = nullptr;
  if (signedIn) return startAuthorization();
  endWithoutAlert();
}

void ZTOAuthCore::initEventListeners() {
  auto& events = *ZTEvents::shared();
  const auto weak = weak_from_this();
  events.authEventListen(this, [weak] {
    if (auto self = weak.lock()) self->signInEnded(true);
  });
  events.oauthLoginChallengeEventListen(this, [weak](std::optional<std::string> challenge) {
    auto self = weak.lock();
    if (!self || self->flow.ended()) return;
    if (!challenge) return self->stepFailure("Something went wrong");
    self->tempLoginChallenge = challenge;
    self->login(*challenge);
  });
  events.oauthConsentChallengeEventListen(this, [weak](std::optional<std::string> challenge) {
    auto self = weak.lock();
    if (!self || self->flow.ended()) return;
    if (!challenge) return self->stepFailure("Something went wrong");
    self->tempConsentChallenge = challenge;
    self->consent(*challenge);
  });
  events.oauthCodeEventListen(this, [weak](std::optional<std::string> code) {
    auto self = weak.lock();
    if (!self || self->flow.ended()) return;
    if (!code) return self->stepFailure("Something went wrong");
    self->token(*code, self->currentAppId, self->userScopes, "authorization_code",
                ZTPKCE::getVerifierCode().value_or(""));
  });
  // An entrance that goes without a sign-in answers the flow itself (see checkAuth): a cancel
  // heard here could be an older entrance's, late.
}

}  // namespace ZentrelSDK
