// Identity server, sign-in and account.
#include "Impl.hpp"

namespace sandbox::detail {
namespace {

const std::regex kEmailRule(R"([A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\.[A-Za-z]{2,64})");
const std::regex kPasswordRule(R"([A-Z0-9a-z._%+-]{8,30})");

void setSessionCookie(Sandbox::Impl& sb, Ctx& c, const Session& s) {
  if (sb.options.setCookies)
    c.res.set_header("Set-Cookie", "zt_sandbox=" + s.cookie + "; Path=/; Secure; HttpOnly");
}

void authEmail(Sandbox::Impl& sb, Ctx& c) {
  const auto body = jsonObject(c);
  if (!body || !hasStrings(*body, {"email"})) return text(c, 400, "malformed body");
  std::lock_guard lock(sb.state.mu);
  const User* user = sb.state.findUser((*body)["email"].get<std::string>());
  if (user != nullptr && user->seed.disabled) {
    return jsonAnswer(c, 200, {{"success", false}, {"message", "Account is disabled"}});
  }
  const std::string challenge(
      rawValue(user != nullptr ? user->seed.challenge : ChallengeType::EmailLink));
  jsonAnswer(c, 200, {{"success", true}, {"challenge", {{"challenge_type", challenge}}}});
}

void authCode(Sandbox::Impl& sb, Ctx& c) {
  const auto body = jsonObject(c);
  if (!body || !hasStrings(*body, {"email"})) return text(c, 400, "malformed body");
  const std::string email = (*body)["email"];
  std::lock_guard lock(sb.state.mu);
  sb.state.sendCode(email, sb.state.channelFor(email), "auth.code");
  jsonAnswer(c, 200, {{"timeout", 60}});
}

void authToken(Sandbox::Impl& sb, Ctx& c) {
  const auto body = jsonObject(c);
  if (!body || !hasStrings(*body, {"challengeType", "email", "password", "code"})) {
    return text(c, 400, "malformed body");
  }
  const std::string type = (*body)["challengeType"];
  if (type != "emailLink" && type != "otp" && type != "password")
    return text(c, 400, "unknown challengeType");
  std::lock_guard lock(sb.state.mu);
  User* user = sb.state.findUser((*body)["email"].get<std::string>());
  if (user == nullptr || user->seed.disabled ||
      user->seed.password != (*body)["password"].get<std::string>() ||
      !sb.state.acceptCode(*user, (*body)["code"].get<std::string>(), true)) {
    return text(c, 401, "unauthorized");
  }
  const Session& s = sb.state.newSession(*user->seed.id);
  setSessionCookie(sb, c, s);
  jsonAnswer(c, 200,
             {{"success", true},
              {"csrf_token", s.t},
              {"expires_in", kTokenLifetime},
              {"message", "signed in"}});
}

void authSignup(Sandbox::Impl& sb, Ctx& c) {
  const auto body = jsonObject(c);
  if (!body || !hasStrings(*body, {"email", "password", "code"}))
    return text(c, 400, "malformed body");
  const std::string email = (*body)["email"], password = (*body)["password"],
                    code = (*body)["code"];
  if (!std::regex_match(email, kEmailRule) || !std::regex_match(password, kPasswordRule)) {
    return text(c, 412, "validation error");
  }
  std::lock_guard lock(sb.state.mu);
  if (sb.state.findUser(email) != nullptr) return text(c, 409, "email already exists");
  Code* live = sb.state.liveCode(email);
  if (live == nullptr || live->code != code) return text(c, 406, "code mismatch");
  live->used = true;
  UserSeed seed;
  seed.email = email;
  seed.password = password;
  seed.challenge = ChallengeType::Password;
  User& user = sb.state.addUser(seed);
  const Session& s = sb.state.newSession(*user.seed.id);
  setSessionCookie(sb, c, s);
  jsonAnswer(c, 200, {{"success", true}, {"csrf_token", s.t}, {"expires_in", kTokenLifetime}});
}

void passwordReset(Sandbox::Impl& sb, Ctx& c) {
  const auto body = jsonObject(c);
  if (!body || !hasStrings(*body, {"email"})) return text(c, 400, "malformed body");
  const std::string email = (*body)["email"];
  std::lock_guard lock(sb.state.mu);
  if (const User* user = sb.state.findUser(email)) {
    sb.state.sendCode(user->seed.email, sb.state.channelFor(email), "password.reset");
  }
  jsonAnswer(c, 200, {{"timeout", 60}});
}

// The user whose address's live code is `code` (outbox codes only), or null.
User* userByLiveCode(State& state, const std::string& code, Code** which) {
  if (code.empty()) return nullptr;
  for (auto& [id, user] : state.users) {
    Code* live = state.liveCode(user.seed.email);
    if (live != nullptr && live->code == code) {
      *which = live;
      return &user;
    }
  }
  return nullptr;
}

void passwordConfirm(Sandbox::Impl& sb, Ctx& c) {
  const auto body = jsonObject(c);
  if (!body || !hasStrings(*body, {"newPassword", "passwordResetToken"}))
    return text(c, 400, "malformed body");
  const std::string password = (*body)["newPassword"];
  std::lock_guard lock(sb.state.mu);
  Code* code = nullptr;
  User* user = userByLiveCode(sb.state, (*body)["passwordResetToken"], &code);
  if (user == nullptr) return text(c, 401, "unauthorized");
  if (!std::regex_match(password, kPasswordRule)) return text(c, 412, "validation error");
  code->used = true;
  user->seed.password = password;
  user->updatedAt = sb.state.now();
  jsonAnswer(c, 200, {{"success", true}});
}

void recoverRequest(Sandbox::Impl& sb, Ctx& c) {
  const std::string email = first(c.query, "email").value_or("");
  std::lock_guard lock(sb.state.mu);
  const User* user = sb.state.findUser(email);
  if (user == nullptr || user->seed.phones.empty())
    return text(c, 400, "no registered phone number");
  sb.state.sendCode(user->seed.email, "sms", "recover.request");
  jsonAnswer(c, 200, {{"success", true}});
}

void recoverConfirm(Sandbox::Impl& sb, Ctx& c) {
  const auto body = jsonObject(c);
  if (!body || !hasStrings(*body, {"code"})) return text(c, 400, "malformed body");
  std::lock_guard lock(sb.state.mu);
  Code* code = nullptr;
  User* user = userByLiveCode(sb.state, (*body)["code"], &code);
  if (user == nullptr) return text(c, 401, "unauthorized");
  code->used = true;
  user->seed.otpEnabled = false;
  user->updatedAt = sb.state.now();
  jsonAnswer(c, 200, {{"success", true}});
}

void authCheck(Sandbox::Impl& sb, Ctx& c) {
  std::lock_guard lock(sb.state.mu);
  if (sb.state.liveSession(c.bearer) == nullptr) return text(c, 401, "unauthorized");
  jsonAnswer(c, 200, {{"success", true}});
}

void settings(Sandbox::Impl& sb, Ctx& c) {
  std::lock_guard lock(sb.state.mu);
  const Session* s = sb.state.liveSession(c.bearer);
  if (s == nullptr) return text(c, 401, "unauthorized");
  const User& u = *sb.state.userById(s->userId);
  json j = {{"created_at", u.createdAt},
            {"updated_at", u.updatedAt},
            {"last_active_at", u.lastActiveAt},
            {"id", *u.seed.id},
            {"email", u.seed.email},
            {"email_confirmed", u.seed.emailConfirmed},
            {"sms_code_enabled", u.seed.smsCodeEnabled},
            {"country", nullptr},
            {"otp_enabled", u.seed.otpEnabled},
            {"disabled", u.seed.disabled},
            {"fiat_currency", u.seed.fiatCurrency},
            {"last_active_account", u.seed.activeAccount}};
  if (u.seed.country) j["country"] = *u.seed.country;
  jsonAnswer(c, 200, j);
}

}  // namespace

void addIdentityRoutes(Routes& r) {
  r.push_back({"POST", std::regex(R"(/api/v1\.1/auth)"), "auth.email", authEmail, {}});
  r.push_back({"POST", std::regex(R"(/api/v1\.1/auth/code)"), "auth.code", authCode, {}});
  r.push_back({"POST", std::regex(R"(/api/v1\.1/auth/token)"), "auth.token", authToken, {}});
  r.push_back({"POST", std::regex(R"(/api/v1\.1/auth/signup)"), "auth.signup", authSignup, {}});
  r.push_back({"POST",
               std::regex(R"(/api/v1\.1/regular-password/reset)"),
               "password.reset",
               passwordReset,
               {}});
  r.push_back({"POST",
               std::regex(R"(/api/v1\.1/regular-password/reset/confirm)"),
               "password.confirm",
               passwordConfirm,
               {}});
  r.push_back(
      {"GET", std::regex(R"(/api/v1\.1/auth/recover)"), "recover.request", recoverRequest, {}});
  r.push_back(
      {"POST", std::regex(R"(/api/v1\.1/auth/recover)"), "recover.confirm", recoverConfirm, {}});
  r.push_back({"GET", std::regex(R"(/api/v1\.1/auth/check)"), "auth.check", authCheck, {}});
  r.push_back({"GET", std::regex(R"(/api/v1\.1/settings)"), "settings", settings, {}});
}

}  // namespace sandbox::detail
