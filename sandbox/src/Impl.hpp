// The sandbox behind sandbox::Sandbox: the HTTPS server, its router, faults, request log and state.
#pragma once

#include "Certificates.hpp"
#include "RawListener.hpp"
#include "State.hpp"
#include "Util.hpp"
#include "sandbox/Sandbox.hpp"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace sandbox::detail {

using json = nlohmann::json;

// One request as the handlers see it.
struct Ctx {
  Ctx(const httplib::Request& r, httplib::Response& s, const httplib::ContentReader* cr)
      : req(r), res(s), reader(cr) {}
  const httplib::Request& req;
  httplib::Response& res;
  const httplib::ContentReader* reader = nullptr;  // only on the streaming test-area upload
  std::string endpoint;
  std::string hostHeader;  // as sent
  std::string host;        // lower case, without port
  std::string rawPath, rawQuery;
  Pairs query;                      // decoded from the raw query ('+' stays '+')
  std::vector<std::string> params;  // the route's captures, percent-decoded from the raw path
  std::string bearer;               // the text after "Bearer" ("" for none)
};

using HandlerFn = std::function<void(Sandbox::Impl&, Ctx&)>;

struct Route {
  std::string method;  // "GET" (also serves HEAD), "POST", ..., or "*"
  std::regex pattern;  // full match against the raw path
  std::string id;
  HandlerFn handler;
  std::function<bool(const Ctx&)> when;  // optional extra condition (the three ids of /oauth/auth)
};

using Routes = std::vector<Route>;
void addIdentityRoutes(Routes& routes);
void addOAuthRoutes(Routes& routes);
void addDocumentRoutes(Routes& routes);
void addApiRoutes(Routes& routes);
void addTestRoutes(Routes& routes);

// Answer helpers.
void text(Ctx& c, int status, std::string_view body);
void jsonAnswer(Ctx& c, int status, const json& body);
// The request body as a JSON object, or nullopt (whatever the Content-Type says).
std::optional<json> jsonObject(const Ctx& c);
// True when every key is present with a string value.
bool hasStrings(const json& j, std::initializer_list<const char*> keys);

}  // namespace sandbox::detail

namespace sandbox {

struct Sandbox::Impl {
  explicit Impl(Options options);
  ~Impl();

  void stop();
  // Waits on the stop condition; false when the sandbox is stopping.
  bool sleepFor(std::chrono::milliseconds duration);
  bool stopping() const;

  void dispatch(const httplib::Request& req, httplib::Response& res,
                const httplib::ContentReader* reader);
  void logUnhandled(const httplib::Request& req, const httplib::Response& res);
  void seed();

  Options options;
  detail::Certificates certs;
  detail::State state;
  detail::Routes routes;

  mutable std::mutex logMu;
  mutable std::condition_variable logCv;
  std::deque<LoggedRequest> log;
  std::uint64_t nextSeq = 1;

  struct FaultSlot {
    std::string endpoint;
    Fault fault;
    int seen = 0, applied = 0;
  };
  std::mutex faultMu;
  std::vector<FaultSlot> faults;

  mutable std::mutex stopMu;
  std::condition_variable stopCv;
  bool stopRequested = false;

  std::unique_ptr<httplib::SSLServer> server;
  std::thread thread;
  int port = -1;
  std::unique_ptr<detail::RawListener> raw;

 private:
  std::uint64_t logBegin(const detail::Ctx& c);
  void logEnd(std::uint64_t seq, int status, const std::string& fault);
  std::optional<Fault> takeFault(const std::string& endpoint);
};

}  // namespace sandbox
