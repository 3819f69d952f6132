#include "ZTOAuth/ZTOAuthUtilites/ZTOAuthRedirectManager.hpp"

#include "ZTLogger.hpp"
#include "ZTNetworkCore/ZTNetworkCore.hpp"
#include "ZTNetworkCore/ZTNetworkTrace.hpp"
#include "ZTOAuth/ZTOAuthUtilites/ZTURLParser.hpp"

namespace ZentrelSDK {

// Usually at exit: the network core holds the manager to the end of the process.
ZTOAuthRedirectManager::~ZTOAuthRedirectManager() {
  ZTLogger::networkLog("REDIRECT MANAGER DID DEINITED");
}

void ZTOAuthRedirectManager::updateOauthStep(ZTOAuthStep newStep) {
  step.store(newStep);
}

void ZTOAuthRedirectManager::beginListeninngForRedirections() {
  ZTNetworkCore::enableRedirectListener(shared_from_this());
}

void ZTOAuthRedirectManager::stopListeningForRedirections() {
  ZTNetworkCore::disableRedirectListener();
}

void ZTOAuthRedirectManager::expectState(std::optional<std::string> state) {
  std::lock_guard lock(stateMutex);
  expectedState = std::move(state);
}

void ZTOAuthRedirectManager::willPerformHTTPRedirection(
    const std::shared_ptr<Foundation::URLSession>& /*session*/,
    const std::shared_ptr<Foundation::URLSessionTask>& /*task*/,
    const std::shared_ptr<Foundation::HTTPURLResponse>& /*response*/,
    const Foundation::URLRequest& newRequest,
    std::function<void(std::optional<Foundation::URLRequest>)> completionHandler) {
  // Challenges, codes and state travel in the query: the trace keeps names only.
  ZTLogger::networkLog(
      ZTNetworkTrace::redirect(newRequest.url ? newRequest.url->absoluteString() : "nil"));
  switch (step.load()) {
    case ZTOAuthStep::login:
      ZTURLParser::parseLoginChallenge(newRequest.url);
      break;
    case ZTOAuthStep::consent:
      ZTURLParser::parseConsentChallenge(newRequest.url);
      break;
    case ZTOAuthStep::code: {
      std::optional<std::string> state;
      {
        std::lock_guard lock(stateMutex);
        state = expectedState;
      }
      ZTURLParser::parseCode(newRequest.url, state);
      break;
    }
  }
  // The flow moves on by the event; the request itself ends with the redirect answer.
  completionHandler(std::nullopt);
}

}  // namespace ZentrelSDK
