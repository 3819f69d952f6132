#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ZTOAuth/ZTOAuthRedirectListener.hpp"
#include "ZTUtilites/ZTRuns.hpp"

namespace ZentrelSDK {

// The kit's OAuth 2.0 client: runs the authorization-code flow with PKCE for whoever asks for
// permission and holds the access token it obtains (in ZTTokenUtilites). One flow runs at a
// time; every asker is answered exactly once, on the main queue, with its result.
class ZTOAuthCore : public std::enable_shared_from_this<ZTOAuthCore> {
 public:
  struct Config {
    std::string appId;  // the OAuth client id
    explicit Config(std::string appId) : appId(std::move(appId)) {}
  };

  // Must run before the first use of shared(); a later call does not change a core that exists.
  static void setup(Config config);
  // Created on first use from the stored configuration; without one the process stops with
  // "Error - you must call setup before accessing ZTOAuthCore.shared".
  static const std::shared_ptr<ZTOAuthCore>& shared();

  ~ZTOAuthCore();
  ZTOAuthCore(const ZTOAuthCore&) = delete;
  ZTOAuthCore& operator=(const ZTOAuthCore&) = delete;

  std::string getAppId() const;

  // true when an access token is held at the end, false when the flow failed or the user
  // refused. With a token already held the completion runs at once, on the caller's thread.
  // A call while a flow runs joins it and gets the same result, unless the screen that flow
  // waits on (the entrance, a card) has gone or begun to leave without an answer: that flow
  // then ends, its askers hear false, and this call starts a new one.
  void givePermissions(std::function<void(bool)> completion);
  // Ends the running flow: drops its listeners and the PKCE pair and answers every asker.
  void completeOauth(bool granted);

 private:
  explicit ZTOAuthCore(std::string appId);
  static std::optional<Config>& config();

  void initEventListeners();
  // Drops the flow's listeners, PKCE pair and screen and hands back its askers.
  std::vector<std::function<void(bool)>> closeFlow();
  // Main queue only.
  void endFlowIfItsScreenWent();
  // The entrance's answer, or the auth event, whichever comes first.
  void signInEnded(bool signedIn);

  // The flow's steps; they run on the main queue.
  void checkAuth();
  void startAuthorization();
  void oauthAuth(const std::string& verifier, const std::string& challenge);
  std::shared_ptr<ZTOAuthRedirectListener> redirectedSuccessfully(ZTOAuthStep step);
  void login(const std::string& loginChallenge);
  void getCode();
  void login(const std::string& loginChallenge, const std::string& code);
  void makeRequest(const std::string& url);
  void consent(const std::string& consentChallenge);
  void showScopes(std::vector<std::string> scopes);
  void consent(const std::string& consentChallenge, const std::vector<std::string>& grantScopes);
  void token(const std::string& code, const std::string& clientId,
             const std::vector<std::string>& grantScopes, const std::string& grantType,
             const std::string& codeVerifier);
  // Loader dismissed, the alert with `message`, then completeOauth(false).
  void stepFailure(const std::string& message);
  // Ends the flow without an alert (a screen was cancelled or could not be shown).
  void endWithoutAlert();

  // Wraps a step's callback so it runs only while its flow is still the current one.
  template <class F>
  auto inFlow(F body) {
    return flow.guard(weak_from_this(), std::move(body));
  }

  const std::string currentAppId;

  // Flow state, touched on the main queue only. A flow ends as soon as its outcome is known.
  ZTRuns flow;
  bool awaitingSignIn = false;
  // Whether the screen the flow waits on has gone without an answer; set while one is up.
  std::function<bool()> screenGone;
  std::optional<std::string> tempLoginChallenge;
  std::optional<std::string> tempConsentChallenge;
  std::vector<std::string> userScopes;

  // Askers of the running flow; reached from any thread.
  std::mutex completionsMutex;
  bool flowRunning = false;
  std::vector<std::function<void(bool)>> oauthCompletions;
};

}  // namespace ZentrelSDK
