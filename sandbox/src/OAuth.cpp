// Identity server, OAuth with PKCE.
#include "Impl.hpp"

#include <set>

namespace sandbox::detail {
namespace {

const std::regex kChallengeRule(R"([A-Za-z0-9_-]{43})");

std::string origin(const Ctx& c) {
  return "https://" + (c.hostHeader.empty() ? std::string("id.zentrel.com") : c.hostHeader);
}

bool young(const State& state, std::int64_t createdAt) {
  return state.now() - createdAt < kChallengeLifetime;
}

// The entry of a one-time challenge, verifier or code: null when unknown, used or expired.
template <class Map>
typename Map::mapped_type* usable(const State& state, Map& map, const std::string& key) {
  auto it = map.find(key);
  if (it == map.end() || it->second.used || !young(state, it->second.createdAt)) return nullptr;
  return &it->second;
}

bool skipLogin(const State& state, const AppSeed& app, const std::string& userId) {
  switch (app.loginSkip) {
    case SkipPolicy::Never:
      return false;
    case SkipPolicy::Always:
      return true;
    case SkipPolicy::Remembered:
      return state.rememberedLogins.count({userId, app.clientId}) > 0;
  }
  return false;
}

bool skipConsent(const State& state, const AppSeed& app, const std::string& userId) {
  switch (app.consentSkip) {
    case SkipPolicy::Never:
      return false;
    case SkipPolicy::Always:
      return true;
    case SkipPolicy::Remembered: {
      auto it = state.granted.find({userId, app.clientId});
      if (it == state.granted.end()) return false;
      for (const auto& s : app.requestedScopes) {
        if (it->second.count(s) == 0) return false;
      }
      return true;
    }
  }
  return false;
}

// Issues a login verifier for LC (which is used up) and remembers the login.
std::string loginRedirect(State& state, const Ctx& c, const std::string& lc,
                          LoginChallenge& challenge) {
  challenge.used = true;
  state.rememberedLogins.insert({challenge.userId, challenge.clientId});
  const std::string lv = randomToken();
  state.loginVerifiers[lv] = Verifier{lc, state.now(), false};
  return origin(c) + "/api/v1.1/oauth/auth?login_verifier=" + lv;
}

std::string consentRedirect(State& state, const Ctx& c, const std::string& cc,
                            ConsentChallenge& challenge) {
  challenge.used = true;
  const std::string cv = randomToken();
  state.consentVerifiers[cv] = Verifier{cc, state.now(), false};
  return origin(c) + "/api/v1.1/oauth/auth?consent_verifier=" + cv;
}

void authorize(Sandbox::Impl& sb, Ctx& c) {
  const auto clientId = first(c.query, "client_id");
  const auto state = first(c.query, "state");
  const auto challenge = first(c.query, "code_challenge");
  std::lock_guard lock(sb.state.mu);
  if (!clientId || sb.state.apps.count(*clientId) == 0) return text(c, 400, "unknown client_id");
  if (first(c.query, "response_type") != std::optional<std::string>("code")) {
    return text(c, 400, "unsupported response_type");
  }
  if (first(c.query, "code_challenge_method") != std::optional<std::string>("S256")) {
    return text(c, 400, "unsupported code_challenge_method");
  }
  if (!challenge || !std::regex_match(*challenge, kChallengeRule))
    return text(c, 400, "invalid code_challenge");
  if (!state || state->empty()) return text(c, 400, "missing state");
  const std::string lc = randomToken();
  LoginChallenge& entry = sb.state.loginChallenges[lc];
  entry.clientId = *clientId;
  entry.codeChallenge = *challenge;
  entry.state = *state;
  entry.requestUrl = origin(c) + "/api/v1.1/oauth/auth?" + c.rawQuery;
  entry.createdAt = sb.state.now();
  c.res.set_redirect(origin(c) + "/login?login_challenge=" + lc, 302);
}

// The login challenge LC for the session's user, binding it on first use; null when unknown,
// used, expired or another user's.
LoginChallenge* loginChallenge(State& state, const std::string& lc, const std::string& userId) {
  LoginChallenge* challenge = usable(state, state.loginChallenges, lc);
  if (challenge == nullptr) return nullptr;
  if (challenge->userId.empty()) challenge->userId = userId;
  return challenge->userId == userId ? challenge : nullptr;
}

void loginGet(Sandbox::Impl& sb, Ctx& c) {
  const std::string lc = first(c.query, "challenge").value_or("");
  std::lock_guard lock(sb.state.mu);
  const Session* s = sb.state.liveSession(c.bearer);
  if (s == nullptr) return text(c, 401, "unauthorized");
  LoginChallenge* challenge = loginChallenge(sb.state, lc, s->userId);
  if (challenge == nullptr) return text(c, 404, "login challenge not found");
  const User& user = *sb.state.userById(s->userId);
  const AppSeed& app = sb.state.apps[challenge->clientId];
  if (skipLogin(sb.state, app, s->userId)) {
    return jsonAnswer(c, 200,
                      {{"skip", true},
                       {"email", user.seed.email},
                       {"redirect", loginRedirect(sb.state, c, lc, *challenge)}});
  }
  jsonAnswer(c, 200, {{"skip", false}, {"email", user.seed.email}});
}

void loginPost(Sandbox::Impl& sb, Ctx& c) {
  const auto body = jsonObject(c);
  if (!body || !hasStrings(*body, {"code", "challenge"})) return text(c, 400, "malformed body");
  const std::string lc = (*body)["challenge"];
  std::lock_guard lock(sb.state.mu);
  const Session* s = sb.state.liveSession(c.bearer);
  if (s == nullptr) return text(c, 401, "unauthorized");
  LoginChallenge* challenge = loginChallenge(sb.state, lc, s->userId);
  if (challenge == nullptr) return text(c, 404, "login challenge not found");
  const User& user = *sb.state.userById(s->userId);
  if (!sb.state.acceptCode(user, (*body)["code"].get<std::string>(), true))
    return text(c, 401, "unauthorized");
  jsonAnswer(c, 200, {{"redirect", loginRedirect(sb.state, c, lc, *challenge)}});
}

void loginVerifier(Sandbox::Impl& sb, Ctx& c) {
  const std::string lv = first(c.query, "login_verifier").value_or("");
  std::lock_guard lock(sb.state.mu);
  auto* verifier = usable(sb.state, sb.state.loginVerifiers, lv);
  if (verifier == nullptr) return text(c, 404, "login verifier not found");
  verifier->used = true;
  const LoginChallenge& login = sb.state.loginChallenges[verifier->challenge];
  std::string cc = randomToken();
  if (sb.state.nextConsentChallenge) {
    cc = *sb.state.nextConsentChallenge;
    sb.state.nextConsentChallenge.reset();
  }
  ConsentChallenge& consent = sb.state.consentChallenges[cc];
  consent = ConsentChallenge{};
  consent.userId = login.userId;
  consent.clientId = login.clientId;
  consent.codeChallenge = login.codeChallenge;
  consent.state = login.state;
  consent.requestUrl = login.requestUrl;
  consent.scopes = sb.state.apps[login.clientId].requestedScopes;
  consent.createdAt = sb.state.now();
  c.res.set_redirect(origin(c) + "/consent?consent_challenge=" + percentEncode(cc), 302);
}

ConsentChallenge* consentChallenge(State& state, const std::string& cc, const std::string& userId) {
  ConsentChallenge* consent = usable(state, state.consentChallenges, cc);
  return consent != nullptr && consent->userId == userId ? consent : nullptr;
}

void consentGet(Sandbox::Impl& sb, Ctx& c) {
  const std::string cc = c.params.at(0);
  std::lock_guard lock(sb.state.mu);
  const Session* s = sb.state.liveSession(c.bearer);
  if (s == nullptr) return text(c, 401, "unauthorized");
  ConsentChallenge* consent = consentChallenge(sb.state, cc, s->userId);
  if (consent == nullptr) return text(c, 404, "consent challenge not found");
  json j = {
      {"requested_scope", consent->scopes}, {"skip", false}, {"request_url", consent->requestUrl}};
  if (skipConsent(sb.state, sb.state.apps[consent->clientId], s->userId)) {
    j["skip"] = true;
    j["redirect_url"] = consentRedirect(sb.state, c, cc, *consent);
  }
  jsonAnswer(c, 200, j);
}

void consentPost(Sandbox::Impl& sb, Ctx& c) {
  const auto body = jsonObject(c);
  if (!body || !hasStrings(*body, {"challenge"}) || !body->contains("grantScopes") ||
      !(*body)["grantScopes"].is_array()) {
    return text(c, 400, "malformed body");
  }
  std::set<std::string> grant;
  for (const auto& s : (*body)["grantScopes"]) {
    if (!s.is_string()) return text(c, 400, "malformed body");
    grant.insert(s.get<std::string>());
  }
  const std::string cc = (*body)["challenge"];
  std::lock_guard lock(sb.state.mu);
  const Session* s = sb.state.liveSession(c.bearer);
  if (s == nullptr) return text(c, 401, "unauthorized");
  ConsentChallenge* consent = consentChallenge(sb.state, cc, s->userId);
  if (consent == nullptr) return text(c, 404, "consent challenge not found");
  if (grant != std::set<std::string>(consent->scopes.begin(), consent->scopes.end())) {
    return text(c, 400, "grantScopes differ from the requested scopes");
  }
  sb.state.granted[{s->userId, consent->clientId}].insert(grant.begin(), grant.end());
  jsonAnswer(c, 200, {{"redirect", consentRedirect(sb.state, c, cc, *consent)}});
}

void consentVerifier(Sandbox::Impl& sb, Ctx& c) {
  const std::string cv = first(c.query, "consent_verifier").value_or("");
  std::lock_guard lock(sb.state.mu);
  auto* verifier = usable(sb.state, sb.state.consentVerifiers, cv);
  if (verifier == nullptr) return text(c, 404, "consent verifier not found");
  verifier->used = true;
  const ConsentChallenge& consent = sb.state.consentChallenges[verifier->challenge];
  const std::string ac = randomToken();
  AuthCode& code = sb.state.authCodes[ac];
  code.userId = consent.userId;
  code.clientId = consent.clientId;
  code.codeChallenge = consent.codeChallenge;
  code.state = consent.state;
  code.scopes = consent.scopes;
  code.createdAt = sb.state.now();
  c.res.set_redirect(origin(c) + "/callback?code=" + ac + "&state=" + percentEncode(consent.state),
                     302);
}

void token(Sandbox::Impl& sb, Ctx& c) {
  const Pairs form = parseForm(c.req.body);
  if (first(form, "grant_type") != std::optional<std::string>("authorization_code")) {
    return jsonAnswer(c, 400, {{"error", "unsupported_grant_type"}});
  }
  const std::string clientId = first(form, "client_id").value_or("");
  const std::string ac = first(form, "code").value_or("");
  const std::string verifier = first(form, "code_verifier").value_or("");
  std::lock_guard lock(sb.state.mu);
  if (sb.state.apps.count(clientId) == 0) return jsonAnswer(c, 401, {{"error", "invalid_client"}});
  AuthCode* found = usable(sb.state, sb.state.authCodes, ac);
  if (found == nullptr || found->clientId != clientId) {
    return jsonAnswer(c, 400, {{"error", "invalid_grant"}});
  }
  AuthCode& code = *found;
  if (base64urlNoPad(sha256(verifier)) != code.codeChallenge) {
    return jsonAnswer(
        c, 400,
        {{"error", "invalid_grant"}, {"error_description", "code_verifier does not match"}});
  }
  if (verifier == code.state) {
    return jsonAnswer(
        c, 400,
        {{"error", "invalid_request"}, {"error_description", "state reuses the code verifier"}});
  }
  code.used = true;
  const AccessToken& t = sb.state.newAccessToken(code.userId, code.clientId, code.scopes);
  std::string scope;
  for (const auto& s : t.scopes) scope += (scope.empty() ? "" : " ") + s;
  jsonAnswer(c, 200,
             {{"access_token", t.token},
              {"token_type", "Bearer"},
              {"expires_in", kTokenLifetime},
              {"refresh_token", t.refresh},
              {"scope", scope}});
}

}  // namespace

void addOAuthRoutes(Routes& r) {
  const std::regex auth(R"(/api/v1\.1/oauth/auth)");
  r.push_back({"GET", auth, "oauth.login_verifier", loginVerifier,
               [](const Ctx& c) { return has(c.query, "login_verifier"); }});
  r.push_back({"GET", auth, "oauth.consent_verifier", consentVerifier,
               [](const Ctx& c) { return has(c.query, "consent_verifier"); }});
  r.push_back({"GET", auth, "oauth.auth", authorize, {}});
  r.push_back({"GET", std::regex(R"(/api/v1\.1/oauth/login)"), "oauth.login.get", loginGet, {}});
  r.push_back({"POST", std::regex(R"(/api/v1\.1/oauth/login)"), "oauth.login.post", loginPost, {}});
  r.push_back(
      {"GET", std::regex(R"(/api/v1\.1/oauth/consent/(.+))"), "oauth.consent.get", consentGet, {}});
  r.push_back(
      {"POST", std::regex(R"(/api/v1\.1/oauth/consent)"), "oauth.consent.post", consentPost, {}});
  r.push_back({"POST", std::regex(R"(/api/v1\.1/oauth/token)"), "oauth.token", token, {}});
}

}  // namespace sandbox::detail
