// The steps of ZTOAuthCore's flow.
#include <utility>

#include "ZTAPI/ZTOAuth.hpp"
#include "ZTAPI/ZTPrivateAPIAuthUser.hpp"
#include "ZTAccounts.hpp"
#include "ZTAuth/Entrance/ZTEntranceViewController.hpp"
#include "ZTEvents.hpp"
#include "ZTExtensions/ZTUIApplication.hpp"
#include "ZTModalCodeVerification/ZTModalCodeVerificationViewController.hpp"
#include "ZTModalScopesView/ZTModalScopesRequestPresenter.hpp"
#include "ZTModalScopesView/ZTModalScopesViewController.hpp"
#include "ZTNetworkCore/ZTNetworkCore.hpp"
#include "ZTOAuth/ZTOAuthCore.hpp"
#include "ZTOAuth/ZTOAuthUtilites/ZTOAuthRedirectManager.hpp"
#include "ZTOAuth/ZTOAuthUtilites/ZTPKCE.hpp"
#include "ZTSecurityManager.hpp"
#include "ZTTokenUtilites.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "ZTUIComponents/ZTWindowWatcher.hpp"

namespace ZentrelSDK {

namespace {
constexpr const char* kSomethingWentWrong = "Something went wrong";

// The card just presented, as the flow watches it: gone once it is released, or no longer
// seen (being dismissed, or in a window the host hides) without the user's answer. Null when
// the card did not come.
template <class Card>
std::function<bool()> cardGone() {
  std::weak_ptr<Card> card = std::dynamic_pointer_cast<Card>(ZTUIApplication::topViewController());
  if (card.expired()) return nullptr;
  return [card] {
    auto shown = card.lock();
    return !shown || (!shown->userAnswered() && !ZTWindowWatcher::stillSeen(shown));
  };
}
}  // namespace

void ZTOAuthCore::stepFailure(const std::string& message) {
  if (flow.ended()) return;
  flow.end();
  // No later event may start another step while the alert is up.
  ZTEvents::shared()->unregiterEvents(this);
  ZTUIUtilites::shared()->loaderDissmiss([weak = weak_from_this(), message] {
    if (!weak.lock()) return;
    ZTUIUtilites::shared()->errorAlert(message, [weak] {
      if (auto self = weak.lock()) self->completeOauth(false);
    });
  });
}

void ZTOAuthCore::endWithoutAlert() {
  if (flow.ended()) return;
  flow.end();
  completeOauth(false);
}

void ZTOAuthCore::checkAuth() {
  ZTPrivateAPIAuthUser::checkAuth(
      true, inFlow([](ZTOAuthCore& core, bool signedIn) {
        if (signedIn) return core.startAuthorization();
        ZTUIUtilites::shared()->loaderDissmiss(core.inFlow([](ZTOAuthCore& self) {
          self.awaitingSignIn = true;
          // The entrance answers once: true after a sign-in on it, false when it went without.
          const bool shown = ZTAccounts::auth(
              false, self.inFlow([](ZTOAuthCore& flow, bool in) { flow.signInEnded(in); }));
          if (!shown) return;
          // Its own entrance: checked now, one the host hides would end before it was seen.
          self.screenGone = [entrance = std::weak_ptr(ZTEntranceViewController::latestOpened())] {
            auto up = entrance.lock();
            return !up || !up->maySignIn();
          };
        }));
      }),
      inFlow([](ZTOAuthCore& core, const std::string& message) { core.stepFailure(message); }));
}

void ZTOAuthCore::startAuthorization() {
  std::string verifier;
  std::optional<std::string> challenge;
  const bool created = ZTPKCE::createCodeVerifiedAndChallenge(
      [&](const std::string& v, const std::optional<std::string>& c) {
        verifier = v;
        challenge = c;
      });
  // Never an authorization with a guessable verifier.
  if (!created) return stepFailure(kSomethingWentWrong);
  oauthAuth(verifier, challenge.value_or(""));
}

std::shared_ptr<ZTOAuthRedirectListener> ZTOAuthCore::redirectedSuccessfully(ZTOAuthStep step) {
  auto listener = ZTNetworkCore::getCurrentRedirectManager();
  if (listener.isFailure()) {
    stepFailure(listener.error().localizedDescription());
    return nullptr;
  }
  listener.value()->updateOauthStep(step);
  return listener.value();
}

void ZTOAuthCore::oauthAuth(const std::string& /*verifier*/, const std::string& challenge) {
  // `state` is an opaque value of its own: the verifier must not leave the device before the
  // token exchange.
  const auto state = ZTPKCE::createState();
  if (!state) return stepFailure(kSomethingWentWrong);
  auto listener = redirectedSuccessfully(ZTOAuthStep::login);
  if (!listener) return;
  if (auto manager = std::dynamic_pointer_cast<ZTOAuthRedirectManager>(listener))
    manager->expectState(*state);
  ZTOAuth::auth(
      currentAppId, userScopes, *state, challenge, "code", "S256", [](const std::string&) {},
      inFlow([](ZTOAuthCore& core, const std::string& message) { core.stepFailure(message); }));
}

void ZTOAuthCore::login(const std::string& loginChallenge) {
  if (!redirectedSuccessfully(ZTOAuthStep::consent)) return;
  ZTOAuth::login(
      loginChallenge, inFlow([](ZTOAuthCore& core, const ZTOAuthLoginResponse& answer) {
        if (!answer.skip) {
          ZTUIUtilites::shared()->loaderDissmiss(
              core.inFlow([](ZTOAuthCore& self) { self.getCode(); }));
        } else if (answer.redirect) {
          core.makeRequest(*answer.redirect);
        } else {
          core.stepFailure(kSomethingWentWrong);
        }
      }),
      inFlow([](ZTOAuthCore& core, const std::string& message) { core.stepFailure(message); }));
}

void ZTOAuthCore::getCode() {
  ZTSecurityManager::beginVerificationFlow(
      inFlow([](ZTOAuthCore& core, bool entered, const std::optional<std::string>& text) {
        core.screenGone = nullptr;
        if (entered && text) {
          ZTUIUtilites::shared()->loaderStartThen(core.inFlow([code = *text](ZTOAuthCore& self) {
            self.login(self.tempLoginChallenge.value_or(""), code);
          }));
          return;
        }
        core.flow.end();
        // A cancelled code screen gives no text, so no alert.
        ZTUIUtilites::shared()->errorAlert(text, [weak = core.weak_from_this()] {
          if (auto self = weak.lock()) self->completeOauth(false);
        });
      }));
  screenGone = cardGone<ZTModalCodeVerificationViewController>();
}

void ZTOAuthCore::login(const std::string& loginChallenge, const std::string& code) {
  ZTOAuth::login(
      code, loginChallenge,
      inFlow([](ZTOAuthCore& core, const ZTOAuthLoginRedirectResponse& answer) {
        core.makeRequest(answer.redirect);
      }),
      inFlow([](ZTOAuthCore& core, const std::string& message) { core.stepFailure(message); }));
}

void ZTOAuthCore::makeRequest(const std::string& url) {
  ZTOAuth::makeRequest(url, inFlow([](ZTOAuthCore& core, const std::string& message) {
                         core.stepFailure(message);
                       }));
}

void ZTOAuthCore::consent(const std::string& consentChallenge) {
  if (!redirectedSuccessfully(ZTOAuthStep::code)) return;
  ZTOAuth::consent(
      consentChallenge, inFlow([](ZTOAuthCore& core, const ZTOAuthConsentResponse& answer) {
        if (answer.requested_scope) core.userScopes = *answer.requested_scope;
        if (answer.skip) {
          if (answer.urlWhileSkipping) return core.makeRequest(*answer.urlWhileSkipping);
          return core.stepFailure(kSomethingWentWrong);
        }
        ZTUIUtilites::shared()->loaderDissmiss(
            core.inFlow([](ZTOAuthCore& self) { self.showScopes(self.userScopes); }));
      }),
      inFlow([](ZTOAuthCore& core, const std::string& message) { core.stepFailure(message); }));
}

void ZTOAuthCore::showScopes(std::vector<std::string> scopes) {
  userScopes = std::move(scopes);
  ZTModalScopesRequestPresenter::shared()->showModal(
      userScopes, inFlow([](ZTOAuthCore& core, bool allowed) {
        core.screenGone = nullptr;
        if (!allowed) return core.endWithoutAlert();
        ZTUIUtilites::shared()->loaderStartThen(core.inFlow([](ZTOAuthCore& self) {
          // Every requested scope is granted: the card offers no choice.
          self.consent(self.tempConsentChallenge.value_or(""), self.userScopes);
        }));
      }));
  screenGone = cardGone<ZTModalScopesViewController>();
}

void ZTOAuthCore::consent(const std::string& consentChallenge,
                          const std::vector<std::string>& grantScopes) {
  ZTOAuth::consent(
      consentChallenge, grantScopes,
      inFlow([](ZTOAuthCore& core, const ZTOAuthConsentRedirectResponse& answer) {
        core.makeRequest(answer.redirect);
      }),
      inFlow([](ZTOAuthCore& core, const std::string& message) { core.stepFailure(message); }));
}

void ZTOAuthCore::token(const std::string& code, const std::string& clientId,
                        const std::vector<std::string>& grantScopes, const std::string& grantType,
                        const std::string& codeVerifier) {
  ZTOAuth::token(
      code, clientId, grantScopes, grantType, codeVerifier,
      inFlow([](ZTOAuthCore& core, const ZTOAuthTokenResponse& answer) {
        ZTTokenUtilites::shared()->saveOAuthToken(answer.accessToken);
        ZTPKCE::clearCodes();
        core.flow.end();
        ZTUIUtilites::shared()->loaderDissmiss([weak = core.weak_from_this()] {
          if (auto self = weak.lock()) self->completeOauth(true);
        });
      }),
      inFlow([](ZTOAuthCore& core, const std::string& message) { core.stepFailure(message); }));
}

}  // namespace ZentrelSDK
