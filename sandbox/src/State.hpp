// The sandbox's in-memory state: users, sessions, codes, OAuth objects, tokens, documents.
// Every member is guarded by State::mu; handlers hold it only briefly.
#pragma once

#include "sandbox/Sandbox.hpp"

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace sandbox::detail {

struct User {
  UserSeed seed;  // seed.id always set
  std::int64_t createdAt = 0, updatedAt = 0, lastActiveAt = 0;
};

struct Session {
  std::string t, bearer, userId, cookie;
  std::int64_t expiresAt = 0;
  bool dead = false;
};

struct Code {
  std::string address, channel, sentBy, code;  // address as sent
  std::int64_t sentAt = 0;
  bool used = false;
};

struct LoginChallenge {
  std::string clientId, codeChallenge, state, requestUrl, userId;
  std::int64_t createdAt = 0;
  bool used = false;
};
struct Verifier {  // login or consent verifier: points at its challenge
  std::string challenge;
  std::int64_t createdAt = 0;
  bool used = false;
};
struct ConsentChallenge {
  std::string userId, clientId, codeChallenge, state, requestUrl;
  std::vector<std::string> scopes;
  std::int64_t createdAt = 0;
  bool used = false;
};
struct AuthCode {
  std::string userId, clientId, codeChallenge, state;
  std::vector<std::string> scopes;
  std::int64_t createdAt = 0;
  bool used = false;
};
struct AccessToken {
  std::string token, refresh, userId, clientId;
  std::vector<std::string> scopes;
  std::int64_t expiresAt = 0;
  bool dead = false;
};

struct Image {
  std::string id, hash, mime, bytes;
};
struct StatusLogEntry {
  std::string status, message;
  std::int64_t createdAt = 0;
};
struct Document {
  std::string id, ownerId, description, areaType = "Internal";
  DocumentType type = DocumentType::Passport;
  DocumentStatus status = DocumentStatus::Draft;
  std::int64_t createdAt = 0;
  std::optional<Image> front, back;
  // Holder keys, filled when recognition ends in a readable status.
  std::string firstName, lastName, nationality, number, issuingCountry, issuingAuthority,
      issuingPlace, address;
  int gender = 0;
  std::int64_t dateOfBirth = 0, dateOfIssue = 0, dateOfExpiry = 0;
  std::vector<StatusLogEntry> log;
  std::vector<DocumentStatus> script;
  std::size_t scriptPos = 0;
  bool scriptActive = false;
};

constexpr std::int64_t kChallengeLifetime = 600;  // challenges, verifiers, codes: 10 minutes
constexpr std::int64_t kTokenLifetime = 3600;

class State {
 public:
  mutable std::mutex mu;

  // Clock (guarded by mu as well).
  std::function<std::int64_t()> clock;
  std::int64_t now() const;  // caller holds mu

  std::map<std::string, User> users;           // by id
  std::map<std::string, std::string> byEmail;  // lower-case e-mail -> id
  std::map<std::string, AppSeed> apps;         // by client id
  std::map<std::string, Session> sessions;     // by bearer (Base64(T))
  std::vector<Code> outbox;
  std::map<std::string, std::size_t> latestCode;  // lower-case address -> index in outbox
  std::map<std::string, LoginChallenge> loginChallenges;
  std::map<std::string, Verifier> loginVerifiers;
  std::map<std::string, ConsentChallenge> consentChallenges;
  std::map<std::string, Verifier> consentVerifiers;
  std::map<std::string, AuthCode> authCodes;
  std::map<std::string, AccessToken> accessTokens;                 // by token
  std::set<std::pair<std::string, std::string>> rememberedLogins;  // (user id, client id)
  std::map<std::pair<std::string, std::string>, std::set<std::string>>
      granted;  // (user, client) -> scopes
  std::optional<std::string> nextConsentChallenge;
  std::vector<Document> documents;  // creation order
  std::map<std::string, std::string> files;
  std::vector<DocumentStatus> defaultScript;
  std::map<DocumentType, std::vector<DocumentStatus>> typeScripts;
  std::map<std::string, std::vector<DocumentStatus>> idScripts;
  std::uint64_t documentNumber = 0;

  // All below: the caller holds mu.
  void clear();
  void seedDefaults();
  User& addUser(UserSeed seed);
  User* findUser(std::string_view email);
  User* userById(const std::string& id);
  Session& newSession(const std::string& userId);
  const Session* liveSession(std::string_view bearer);
  const AccessToken* liveToken(std::string_view token);
  AccessToken& newAccessToken(const std::string& userId, const std::string& clientId,
                              std::vector<std::string> scopes);
  const Code& sendCode(std::string address, std::string channel, std::string sentBy);
  std::string channelFor(std::string_view address);
  // The live (latest, unused, young) outbox code of an address, or null.
  Code* liveCode(std::string_view address);
  // The latest young unused outbox code of the address, or the user's authenticator code;
  // marks an outbox code used when `consume`.
  bool acceptCode(const User& user, std::string_view code, bool consume);
  Document* findDocument(const std::string& id);
  Document& addDocument(const std::string& ownerId, DocumentType type, DocumentStatus status,
                        std::optional<std::string> id);
  void setDocumentStatus(Document& doc, DocumentStatus status, const std::string& message);
  void advanceRecognition(Document& doc);
  void startRecognition(Document& doc);
  std::vector<DocumentStatus> scriptFor(const Document& doc) const;
  void fillHolder(Document& doc);
  Image makeImage(std::string bytes, std::string mime) const;
};

bool isFinal(DocumentStatus status);

}  // namespace sandbox::detail
