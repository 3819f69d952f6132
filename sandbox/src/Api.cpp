// API server, read with the OAuth access token.
#include "Impl.hpp"

namespace sandbox::detail {
namespace {

// The token's user; answers 401 and returns null without a live token. Caller holds state.mu.
const User* tokenUser(Sandbox::Impl& sb, Ctx& c, const AccessToken** token = nullptr) {
  const AccessToken* t = sb.state.liveToken(c.bearer);
  if (t == nullptr) {
    text(c, 401, "unauthorized");
    return nullptr;
  }
  if (token != nullptr) *token = t;
  return sb.state.userById(t->userId);
}

void user(Sandbox::Impl& sb, Ctx& c) {
  std::lock_guard lock(sb.state.mu);
  const User* u = tokenUser(sb, c);
  if (u == nullptr) return;
  json phones = json::array();
  for (const auto& p : u->seed.phones) {
    phones.push_back({{"id", p.id},
                      {"created_at", p.createdAt},
                      {"status", p.status},
                      {"country", p.country},
                      {"number", p.number},
                      {"main", p.main}});
  }
  jsonAnswer(c, 200, {{"id", *u->seed.id}, {"email", u->seed.email}, {"phones", phones}});
}

void address(Sandbox::Impl& sb, Ctx& c) {
  std::lock_guard lock(sb.state.mu);
  const User* u = tokenUser(sb, c);
  if (u == nullptr) return;
  json arr = json::array();
  for (const auto& a : u->seed.addresses) {
    arr.push_back({{"main", a.main},
                   {"created_at", a.createdAt},
                   {"apartment_number", a.apartmentNumber},
                   {"street_number", a.streetNumber},
                   {"street", a.street},
                   {"city", a.city},
                   {"state_region", a.stateRegion},
                   {"country", a.country},
                   {"postal_code", a.postalCode},
                   {"lat", a.lat},
                   {"lng", a.lng},
                   {"verified", a.verified}});
  }
  jsonAnswer(c, 200, arr);
}

void personal(Sandbox::Impl& sb, Ctx& c) {
  std::lock_guard lock(sb.state.mu);
  const User* u = tokenUser(sb, c);
  if (u == nullptr) return;
  if (!u->seed.personal) {
    c.res.status = 204;
    return;
  }
  const PersonalData& p = *u->seed.personal;
  jsonAnswer(c, 200,
             {{"id", *u->seed.id},
              {"first_name", p.firstName},
              {"last_name", p.lastName},
              {"date_of_birth", p.dateOfBirth}});
}

void scopes(Sandbox::Impl& sb, Ctx& c) {
  std::lock_guard lock(sb.state.mu);
  const AccessToken* t = nullptr;
  if (tokenUser(sb, c, &t) == nullptr) return;
  jsonAnswer(c, 200, {{"scopes", t->scopes}});
}

void accounts(Sandbox::Impl& sb, Ctx& c) {
  std::lock_guard lock(sb.state.mu);
  const User* u = tokenUser(sb, c);
  if (u == nullptr) return;
  jsonAnswer(c, 200, json::array({{{"address", u->seed.activeAccount}, {"name", "Main account"}}}));
}

void activeAccount(Sandbox::Impl& sb, Ctx& c) {
  std::lock_guard lock(sb.state.mu);
  const User* u = tokenUser(sb, c);
  if (u == nullptr) return;
  jsonAnswer(c, 200, {{"address", u->seed.activeAccount}});
}

void documents(Sandbox::Impl& sb, Ctx& c) {
  std::lock_guard lock(sb.state.mu);
  const User* u = tokenUser(sb, c);
  if (u == nullptr) return;
  json arr = json::array();
  for (const auto& d : sb.state.documents) {
    if (d.ownerId != *u->seed.id) continue;
    arr.push_back({{"id", d.id},
                   {"created_at", d.createdAt},
                   {"status", rawValue(d.status)},
                   {"document_type", rawValue(d.type)}});
  }
  jsonAnswer(c, 200, arr);
}

void files(Sandbox::Impl& sb, Ctx& c) {
  std::lock_guard lock(sb.state.mu);
  if (tokenUser(sb, c) == nullptr) return;
  auto it = sb.state.files.find(c.params.at(0));
  if (it == sb.state.files.end()) return text(c, 404, "file not found");
  c.res.status = 200;
  c.res.set_content(it->second, "application/octet-stream");
}

}  // namespace

void addApiRoutes(Routes& r) {
  r.push_back({"GET", std::regex(R"(/v1/user)"), "api.user", user, {}});
  r.push_back({"GET", std::regex(R"(/v1/user/address)"), "api.user.address", address, {}});
  r.push_back({"GET", std::regex(R"(/v1/user/info/personal)"), "api.user.personal", personal, {}});
  r.push_back({"GET", std::regex(R"(/v1/scopes)"), "api.scopes", scopes, {}});
  r.push_back({"GET", std::regex(R"(/v1/accounts)"), "api.accounts", accounts, {}});
  r.push_back(
      {"GET", std::regex(R"(/v1/accounts/active)"), "api.accounts.active", activeAccount, {}});
  r.push_back({"GET", std::regex(R"(/v1/documents)"), "api.documents", documents, {}});
  r.push_back({"GET", std::regex(R"(/v1/files/(.+))"), "api.files", files, {}});
}

}  // namespace sandbox::detail
