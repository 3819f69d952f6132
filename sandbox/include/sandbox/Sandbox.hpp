// Sandbox: the kit's identity server and API server on loopback, over real HTTPS.
// This header does not include <httplib.h>: only the sandbox library needs its build flags.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sandbox {

enum class DocumentType { Passport, DriverLicense, ProofOfAddress, IdCard };
enum class DocumentStatus { Draft, Recognition, NotReadable, NotVerified, Verified, PendingReview };
enum class ChallengeType { EmailLink, Otp, Password, Sms };  // "emailLink" "otp" "password" "sms"
enum class SkipPolicy { Never, Always, Remembered };
enum class Transport { Normal, Drop, Truncate, Chunked };

std::string_view rawValue(DocumentType type);
std::string_view rawValue(DocumentStatus status);
std::string_view rawValue(ChallengeType challenge);
std::optional<DocumentType> documentTypeFrom(std::string_view text);
std::optional<DocumentStatus> documentStatusFrom(std::string_view text);
std::optional<ChallengeType> challengeTypeFrom(std::string_view text);

struct Phone {
  std::string id, status = "verified", country, number;
  bool main = true;
  std::int64_t createdAt = 0;  // 0: the sandbox clock at seeding time
};
struct Address {
  bool main = true;
  std::int64_t createdAt = 0;  // 0: the sandbox clock at seeding time
  std::string apartmentNumber, streetNumber, street, city, stateRegion, country, postalCode;
  double lat = 0, lng = 0;
  bool verified = true;
};
struct PersonalData {
  std::string firstName, lastName;
  std::int64_t dateOfBirth = 0;
};

struct UserSeed {
  std::string email, password;
  ChallengeType challenge = ChallengeType::Password;
  bool smsCodeEnabled = false, otpEnabled = false, emailConfirmed = true, disabled = false;
  std::string otpCode = "246810";
  std::optional<std::string> country = "DE";
  std::string fiatCurrency = "EUR", activeAccount = "acc-1";
  std::vector<Phone> phones;
  std::vector<Address> addresses;
  std::optional<PersonalData> personal;  // none: /v1/user/info/personal answers 204
  std::optional<std::string> id;         // none: a fresh UUID
};

struct AppSeed {
  std::string clientId;
  std::vector<std::string> requestedScopes;
  std::optional<std::vector<DocumentType>> requiredDocuments;  // none: the answer is null
  SkipPolicy loginSkip = SkipPolicy::Remembered, consentSkip = SkipPolicy::Remembered;
};

struct SentCode {
  std::string address, channel, sentBy, code;
  std::int64_t sentAt = 0;
  bool used = false;
};

struct FormField {
  std::string name, filename, contentType, content;
};

struct LoggedRequest {
  std::uint64_t seq = 0;
  std::string endpoint;  // "" when no route matched
  std::string method, host, target, path;
  std::vector<std::pair<std::string, std::string>>
      query;  // decoded from the raw target; '+' stays '+'
  std::vector<std::pair<std::string, std::string>>
      headers;                    // as parsed by cpp-httplib, pseudo headers left out
  std::string body;               // empty for multipart
  std::vector<FormField> fields;  // multipart fields
  std::size_t bodySize = 0;  // real size of the body (test-area entries keep at most 4 KiB of it)
  int status = 0;            // 0 while pending (and for a dropped connection)
  std::string fault;         // "" or a short description of the fault applied
  bool done = false;         // the answer is decided (set before its first byte leaves)

  std::optional<std::string> header(std::string_view name) const;  // case-insensitive, first
  std::optional<std::string> param(std::string_view name) const;   // first query item of that name
};

struct Fault {
  std::optional<int> status;
  std::optional<std::string> body;
  std::string contentType = "text/plain; charset=utf-8";
  std::vector<std::pair<std::string, std::string>> headers;  // added to (or replacing) the answer's
  std::chrono::milliseconds delay{0};
  Transport transport = Transport::Normal;
  bool runHandler =
      false;  // with status/body: the endpoint runs (state changes), only the answer differs
  int skip = 0, times = 1;  // times 0: every matching request

  static Fault answer(int status, std::string body = {},
                      std::string contentType = "text/plain; charset=utf-8");
  static Fault json(int status, std::string rawJson);
  static Fault malformedJson();  // 200 {"success":
  static Fault notJson();        // 200 <html>not json</html>
  static Fault emptyBody();      // 200 without bytes
  static Fault notUtf8();        // 200 with bytes that are not UTF-8
  static Fault redirect(int status, std::string location);
  static Fault after(std::chrono::milliseconds delay);
  static Fault drop();
  static Fault truncate();
  static Fault chunked();

  // Chainable tweaks: Fault::answer(500).skipping(1).repeat(2)
  Fault skipping(int n) &&;
  Fault repeat(int n) &&;  // 0: for ever
  Fault withHandler() &&;
  Fault withDelay(std::chrono::milliseconds d) &&;
  Fault withHeader(std::string name, std::string value) &&;
};

// A document as the sandbox holds it (a copy).
struct DocumentInfo {
  std::string id, ownerEmail;
  DocumentType type = DocumentType::Passport;
  DocumentStatus status = DocumentStatus::Draft;
  std::int64_t createdAt = 0;
  std::optional<std::string> front, back;  // image bytes
  std::string frontContentType, backContentType;
};

// What the raw TLS listener received on one connection.
struct RawRequest {
  std::uint64_t seq = 0;
  std::string serverName;  // the TLS SNI ("" when none was sent)
  std::string bytes;       // the exact bytes of the request (head and body)
  bool complete = false;   // the request framing was complete when the listener answered
};

class Sandbox {
 public:
  struct Options {
    bool seedDefaults = true, strictHosts = true, setCookies = true;
    int threads = 32;          // server pool size
    int keepAliveSeconds = 1;  // 0: "Connection: close" after every answer
    std::size_t maxUploadBytes = 10u << 20;
    bool rawListener = true;  // also open the raw TLS listener (test area)
  };
  static constexpr std::array<std::string_view, 4> kHosts{
      "id.zentrel.com", "api.zentrel.com", "id.dev.zentrel.com", "api.dev.zentrel.com"};

  Sandbox();
  explicit Sandbox(Options options);  // generates the CA, binds, listens; throws if it cannot
  ~Sandbox();                         // stop() and join
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  void stop();  // idempotent; wakes every delayed answer
  int port() const;
  const std::string& caPem() const;  // the CA certificate, PEM
  // A new server SSL_CTX* (the caller frees it) showing the sandbox's certificate: a test peer
  // standing in for the same hosts is trusted as the sandbox is.
  void* newServerContext() const;
  // "id.zentrel.com:443:127.0.0.1:<port>" for each of kHosts (libcurl CURLOPT_CONNECT_TO).
  std::vector<std::string> routes() const;
  // "https://<host>" (the kit's shipped base); the port is reached through routes().
  static std::string baseUrl(std::string_view host);

  void reset();  // back to the seed; log, outbox, faults, scripts, raw records cleared
  void addUser(UserSeed user);
  void addApp(AppSeed app);
  std::string addDocument(const std::string& ownerEmail, DocumentType type, DocumentStatus status,
                          std::optional<std::string> front = {},
                          std::optional<std::string> back = {}, std::optional<std::string> id = {});
  void putFile(const std::string& name, std::string bytes);

  std::optional<UserSeed> user(const std::string& email) const;  // current state (password, otp...)
  std::vector<DocumentInfo> documents(const std::string& ownerEmail = {}) const;  // creation order
  std::optional<DocumentInfo> document(const std::string& id) const;

  std::vector<SentCode> outbox() const;
  std::optional<std::string> lastCode(const std::string& address) const;

  std::vector<LoggedRequest> requests() const;
  std::vector<LoggedRequest> requests(std::string_view endpoint) const;
  std::size_t count(std::string_view endpoint) const;
  void clearLog();
  // Waits (real time) until `count(endpoint) >= n` with all those answers decided.
  bool waitFor(std::string_view endpoint, std::size_t n, std::chrono::milliseconds timeout) const;

  void inject(std::string_view endpoint, Fault fault);  // "*" matches every request
  void clearFaults();

  void setRecognition(std::vector<DocumentStatus> script);
  void setRecognition(DocumentType type, std::vector<DocumentStatus> script);
  void setRecognitionFor(const std::string& documentId, std::vector<DocumentStatus> script);
  void setDocumentStatus(const std::string& documentId, DocumentStatus status);

  std::string signIn(const std::string& email);  // Base64(T): the bearer the kit would hold
  std::string grant(const std::string& email, const std::string& clientId);  // access token
  void expireSessions();
  void expireAccessTokens();
  void setSkip(const std::string& clientId, SkipPolicy login, SkipPolicy consent);
  void setNextConsentChallenge(std::string challenge);

  void setClock(std::function<std::int64_t()> unixSeconds);  // nullptr: the real clock
  std::int64_t now() const;

  // Raw TLS listener (test area): same certificate, records the exact request bytes of each
  // connection and answers a fixed 200 ("ok"), or the bytes given to setRawAnswer; "delay=<ms>"
  // in the request target holds the answer back.
  int rawPort() const;                         // -1 when Options::rawListener is off
  std::vector<std::string> rawRoutes() const;  // kHosts routed to the raw listener
  std::vector<RawRequest> rawRequests() const;
  bool waitForRaw(std::size_t n, std::chrono::milliseconds timeout) const;
  void clearRawRequests();
  void setRawAnswer(std::string bytes);    // empty: the default 200 answer
  std::size_t rawOpenConnections() const;  // the raw listener closes each after its answer

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// The deterministic content of the test area's downloads: byte i is (i * 7 + i / 251) mod 256.
std::string testPattern(std::size_t offset, std::size_t length);

}  // namespace sandbox
