#include "State.hpp"

#include "Util.hpp"

#include <chrono>
#include <stdexcept>

namespace sandbox {

std::string_view rawValue(DocumentType type) {
  switch (type) {
    case DocumentType::Passport:
      return "Passport";
    case DocumentType::DriverLicense:
      return "DriverLicense";
    case DocumentType::ProofOfAddress:
      return "ProofOfAddress";
    case DocumentType::IdCard:
      return "IdCard";
  }
  return "Passport";
}

std::string_view rawValue(DocumentStatus status) {
  switch (status) {
    case DocumentStatus::Draft:
      return "Draft";
    case DocumentStatus::Recognition:
      return "Recognition";
    case DocumentStatus::NotReadable:
      return "NotReadable";
    case DocumentStatus::NotVerified:
      return "NotVerified";
    case DocumentStatus::Verified:
      return "Verified";
    case DocumentStatus::PendingReview:
      return "PendingReview";
  }
  return "Draft";
}

std::string_view rawValue(ChallengeType challenge) {
  switch (challenge) {
    case ChallengeType::EmailLink:
      return "emailLink";
    case ChallengeType::Otp:
      return "otp";
    case ChallengeType::Password:
      return "password";
    case ChallengeType::Sms:
      return "sms";
  }
  return "password";
}

std::optional<DocumentType> documentTypeFrom(std::string_view text) {
  for (auto t : {DocumentType::Passport, DocumentType::DriverLicense, DocumentType::ProofOfAddress,
                 DocumentType::IdCard}) {
    if (rawValue(t) == text) return t;
  }
  return std::nullopt;
}

std::optional<DocumentStatus> documentStatusFrom(std::string_view text) {
  for (auto s :
       {DocumentStatus::Draft, DocumentStatus::Recognition, DocumentStatus::NotReadable,
        DocumentStatus::NotVerified, DocumentStatus::Verified, DocumentStatus::PendingReview}) {
    if (rawValue(s) == text) return s;
  }
  return std::nullopt;
}

std::optional<ChallengeType> challengeTypeFrom(std::string_view text) {
  for (auto c : {ChallengeType::EmailLink, ChallengeType::Otp, ChallengeType::Password,
                 ChallengeType::Sms}) {
    if (rawValue(c) == text) return c;
  }
  return std::nullopt;
}

namespace detail {

bool isFinal(DocumentStatus status) {
  return status != DocumentStatus::Draft && status != DocumentStatus::Recognition;
}

std::int64_t State::now() const {
  if (clock) return clock();
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

void State::clear() {
  users.clear();
  byEmail.clear();
  apps.clear();
  sessions.clear();
  outbox.clear();
  latestCode.clear();
  loginChallenges.clear();
  loginVerifiers.clear();
  consentChallenges.clear();
  consentVerifiers.clear();
  authCodes.clear();
  accessTokens.clear();
  rememberedLogins.clear();
  granted.clear();
  nextConsentChallenge.reset();
  documents.clear();
  files.clear();
  defaultScript = {DocumentStatus::Recognition, DocumentStatus::Recognition,
                   DocumentStatus::Verified};
  typeScripts.clear();
  idScripts.clear();
  documentNumber = 0;
}

void State::seedDefaults() {
  UserSeed user1;
  user1.email = "user1@example.com";
  user1.password = "password1";
  user1.id = "6f1c2a9e-0b7d-4c1e-9a53-2f8d0c6b1e47";
  user1.phones.push_back(Phone{"ph-1", "verified", "DE", "+4915100000001", true, 0});
  Address address;
  address.apartmentNumber = "4";
  address.streetNumber = "12";
  address.street = "Sample Street";
  address.city = "Sample City";
  address.stateRegion = "Sample Region";
  address.country = "DE";
  address.postalCode = "10115";
  address.lat = 52.52;
  address.lng = 13.405;
  user1.addresses.push_back(address);
  user1.personal = PersonalData{"Test", "User", 631152000};
  addUser(user1);

  UserSeed sms;
  sms.email = "sms.user@example.com";
  sms.password = "password1";
  sms.id = "0c9b5a3e-7d1f-4e2a-8b6c-3f4e5d6a7b8c";
  sms.challenge = ChallengeType::Sms;
  sms.smsCodeEnabled = true;
  addUser(sms);

  UserSeed otp;
  otp.email = "otp.user@example.com";
  otp.password = "password1";
  otp.id = "5e2d7c1a-9b3f-4a6e-8d2c-7b1a0f9e8d3c";
  otp.challenge = ChallengeType::Otp;
  otp.otpEnabled = true;
  otp.otpCode = "246810";
  otp.phones.push_back(Phone{"ph-2", "verified", "DE", "+4915100000002", true, 0});
  addUser(otp);

  AppSeed app;
  app.clientId = "sandbox-app";
  app.requestedScopes = {"user:email:read", "user:data:read", "documents:passport:status:read"};
  app.requiredDocuments =
      std::vector<DocumentType>{DocumentType::Passport, DocumentType::ProofOfAddress};
  apps[app.clientId] = app;
}

User& State::addUser(UserSeed seed) {
  if (!seed.id) seed.id = uuid4();
  const std::int64_t t = now();
  for (auto& p : seed.phones) {
    if (p.createdAt == 0) p.createdAt = t;
  }
  for (auto& a : seed.addresses) {
    if (a.createdAt == 0) a.createdAt = t;
  }
  const std::string key = lower(seed.email);
  if (auto it = byEmail.find(key); it != byEmail.end()) users.erase(it->second);
  const std::string id = *seed.id;
  User& user = users[id];
  user.seed = std::move(seed);
  user.createdAt = user.updatedAt = user.lastActiveAt = t;
  byEmail[key] = id;
  return user;
}

User* State::findUser(std::string_view email) {
  auto it = byEmail.find(lower(email));
  if (it == byEmail.end()) return nullptr;
  return userById(it->second);
}

User* State::userById(const std::string& id) {
  auto it = users.find(id);
  return it == users.end() ? nullptr : &it->second;
}

Session& State::newSession(const std::string& userId) {
  Session s;
  s.t = randomToken();
  s.bearer = base64(s.t);
  s.userId = userId;
  s.cookie = randomToken();
  s.expiresAt = now() + kTokenLifetime;
  if (User* u = userById(userId)) u->lastActiveAt = now();
  const std::string bearer = s.bearer;
  return sessions[bearer] = std::move(s);
}

const Session* State::liveSession(std::string_view bearer) {
  if (bearer.empty()) return nullptr;
  auto it = sessions.find(std::string(bearer));
  if (it == sessions.end() || it->second.dead || it->second.expiresAt <= now()) return nullptr;
  if (userById(it->second.userId) == nullptr) return nullptr;
  return &it->second;
}

const AccessToken* State::liveToken(std::string_view token) {
  if (token.empty()) return nullptr;
  auto it = accessTokens.find(std::string(token));
  if (it == accessTokens.end() || it->second.dead || it->second.expiresAt <= now()) return nullptr;
  if (userById(it->second.userId) == nullptr) return nullptr;
  return &it->second;
}

AccessToken& State::newAccessToken(const std::string& userId, const std::string& clientId,
                                   std::vector<std::string> scopes) {
  AccessToken t;
  t.token = randomToken();
  t.refresh = randomToken();
  t.userId = userId;
  t.clientId = clientId;
  t.scopes = std::move(scopes);
  t.expiresAt = now() + kTokenLifetime;
  const std::string key = t.token;
  return accessTokens[key] = std::move(t);
}

std::string State::channelFor(std::string_view address) {
  const User* u = findUser(address);
  if (u != nullptr && (u->seed.smsCodeEnabled || u->seed.challenge == ChallengeType::Sms))
    return "sms";
  return "email";
}

const Code& State::sendCode(std::string address, std::string channel, std::string sentBy) {
  const std::int64_t t = now();
  std::set<std::string> live;
  for (const auto& [key, index] : latestCode) {
    const Code& c = outbox[index];
    if (!c.used && t - c.sentAt < kChallengeLifetime) live.insert(c.code);
  }
  std::string code;
  do {
    const std::string r = randomBytes(4);
    const std::uint32_t v = (static_cast<std::uint32_t>(static_cast<unsigned char>(r[0])) << 24) |
                            (static_cast<std::uint32_t>(static_cast<unsigned char>(r[1])) << 16) |
                            (static_cast<std::uint32_t>(static_cast<unsigned char>(r[2])) << 8) |
                            static_cast<unsigned char>(r[3]);
    code = std::to_string(v % 1000000);
    code.insert(0, 6 - code.size(), '0');
  } while (live.count(code) > 0);
  const std::string key = lower(address);
  outbox.push_back(Code{std::move(address), std::move(channel), std::move(sentBy), code, t, false});
  latestCode[key] = outbox.size() - 1;
  return outbox.back();
}

Code* State::liveCode(std::string_view address) {
  auto it = latestCode.find(lower(address));
  if (it == latestCode.end()) return nullptr;
  Code& c = outbox[it->second];
  if (c.used || now() - c.sentAt >= kChallengeLifetime) return nullptr;
  return &c;
}

bool State::acceptCode(const User& user, std::string_view code, bool consume) {
  if (code.empty()) return false;
  if (Code* c = liveCode(user.seed.email); c != nullptr && c->code == code) {
    if (consume) c->used = true;
    return true;
  }
  return user.seed.otpEnabled && !user.seed.otpCode.empty() && user.seed.otpCode == code;
}

Document* State::findDocument(const std::string& id) {
  for (auto& d : documents) {
    if (d.id == id) return &d;
  }
  return nullptr;
}

Image State::makeImage(std::string bytes, std::string mime) const {
  Image image;
  image.id = uuid4();
  image.hash = sha256Hex(bytes);
  image.mime = mime.empty() ? "image/jpeg" : std::move(mime);
  image.bytes = std::move(bytes);
  return image;
}

Document& State::addDocument(const std::string& ownerId, DocumentType type, DocumentStatus status,
                             std::optional<std::string> id) {
  Document doc;
  doc.id = id ? *id : uuid4();
  doc.ownerId = ownerId;
  doc.type = type;
  doc.status = DocumentStatus::Draft;
  doc.createdAt = now();
  doc.log.push_back(StatusLogEntry{"Draft", "Document created", doc.createdAt});
  if (Document* existing = findDocument(doc.id)) {
    *existing = std::move(doc);
    if (status != DocumentStatus::Draft) setDocumentStatus(*existing, status, "Status set by test");
    return *existing;
  }
  documents.push_back(std::move(doc));
  Document& stored = documents.back();
  if (status != DocumentStatus::Draft) setDocumentStatus(stored, status, "Status set by test");
  return stored;
}

void State::setDocumentStatus(Document& doc, DocumentStatus status, const std::string& message) {
  doc.status = status;
  doc.scriptActive = false;
  doc.log.push_back(StatusLogEntry{std::string(rawValue(status)), message, now()});
  if (isFinal(status) && status != DocumentStatus::NotReadable) fillHolder(doc);
}

std::vector<DocumentStatus> State::scriptFor(const Document& doc) const {
  if (auto it = idScripts.find(doc.id); it != idScripts.end()) return it->second;
  if (auto it = typeScripts.find(doc.type); it != typeScripts.end()) return it->second;
  return defaultScript;
}

void State::startRecognition(Document& doc) {
  doc.status = DocumentStatus::Recognition;
  doc.log.push_back(StatusLogEntry{"Recognition", "Recognition started", now()});
  doc.script = scriptFor(doc);
  doc.scriptPos = 0;
  doc.scriptActive = true;
}

void State::advanceRecognition(Document& doc) {
  if (!doc.scriptActive || doc.scriptPos >= doc.script.size()) return;
  const DocumentStatus next = doc.script[doc.scriptPos++];
  doc.status = next;
  if (isFinal(next)) {
    doc.scriptActive = false;
    doc.log.push_back(StatusLogEntry{std::string(rawValue(next)), "Recognition finished", now()});
    if (next != DocumentStatus::NotReadable) fillHolder(doc);
  }
}

void State::fillHolder(Document& doc) {
  const User* user = userById(doc.ownerId);
  if (user == nullptr) return;
  const UserSeed& s = user->seed;
  if (s.personal) {
    doc.firstName = s.personal->firstName;
    doc.lastName = s.personal->lastName;
    doc.dateOfBirth = s.personal->dateOfBirth;
  }
  const std::string country = s.country.value_or("DE");
  doc.nationality = country;
  doc.gender = 1;
  if (doc.number.empty()) {
    std::string n = std::to_string(++documentNumber);
    n.insert(0, n.size() < 6 ? 6 - n.size() : 0, '0');
    doc.number = "SBX" + n;
  }
  doc.dateOfIssue = 1609459200;
  doc.dateOfExpiry = 1924992000;
  doc.issuingCountry = country;
  doc.issuingAuthority = "Sandbox Authority";
  const Address* main = nullptr;
  for (const auto& a : s.addresses) {
    if (main == nullptr || a.main) main = &a;
    if (a.main) break;
  }
  doc.issuingPlace = main != nullptr ? main->city : "Sample City";
  if (doc.type == DocumentType::ProofOfAddress && main != nullptr) {
    doc.address = main->street + " " + main->streetNumber +
                  (main->apartmentNumber.empty() ? "" : "/" + main->apartmentNumber) + ", " +
                  main->postalCode + " " + main->city + ", " + main->country;
  }
}

}  // namespace detail
}  // namespace sandbox
