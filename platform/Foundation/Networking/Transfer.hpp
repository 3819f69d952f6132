// One task on its way through a session's engine, and what the engine's parts share about
// it. Private to the platform.
#pragma once

#include <curl/curl.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Foundation/Data.hpp"
#include "Foundation/HTTPURLResponse.hpp"
#include "Foundation/InputStream.hpp"
#include "Foundation/NSError.hpp"
#include "Foundation/Networking/Engine.hpp"
#include "Foundation/Networking/Environment.hpp"
#include "Foundation/Networking/TaskState.hpp"
#include "Foundation/Networking/URLErrors.hpp"
#include "Foundation/URLRequest.hpp"
#include "Foundation/URLSessionDelegate.hpp"

namespace Foundation::Networking {

inline double monotonicNow() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

inline std::string lowered(std::string_view text) {
  std::string out(text);
  for (auto& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

enum class Mode { completion, dataDelegate, download };

// One task on its way through the engine: the request being loaded and the current hop.
struct Transfer {
  Engine* engine = nullptr;  // the owner
  std::weak_ptr<Engine> weakEngine;
  bool cookies = false;
  std::shared_ptr<URLSessionTask> task;
  std::shared_ptr<TaskState> state;
  std::shared_ptr<URLSession> session;
  std::shared_ptr<URLSessionTaskDelegate> taskDelegate;
  std::shared_ptr<URLSessionDataDelegate> dataDelegate;
  std::shared_ptr<URLSessionDownloadDelegate> downloadDelegate;
  Mode mode = Mode::completion;
  std::uint64_t id = 0;
  URLRequest request;
  double timeout = 60.0;
  int redirects = 0;
  bool retriedOnNewConnection = false;  // by the current hop
  bool newConnection = false;           // the next hop may not reuse a connection
  // GET, HEAD, OPTIONS, TRACE: the server may see the request twice. Any other one goes out
  // at most once per hop: libcurl sends a request again on a new connection when a reused
  // one dies before any answer, though the server may have acted on it.
  bool repeatable = true;
  int sends = 0;                   // by the current hop
  bool resendRefused = false;      // the current hop was to send it again
  bool connectionClosing = false;  // the server was closing the kept connection before it went
  bool multiplexed = false;        // the current hop's request went out on an HTTP/2 connection
  // A 417 to the request's "Expect: 100-continue", held back: libcurl sends the request again
  // without Expect (the server did not take it), else it is the answer after all.
  std::shared_ptr<HTTPURLResponse> expectRefusal;
  Data expectRefusalBody;

  // The body, sent again from its start on each hop that keeps it.
  bool hasBody = false;
  std::shared_ptr<const Data> bodyData;
  FILE* bodyFile = nullptr;
  std::shared_ptr<InputStream> bodyStream;
  bool bodyStreamRead = false;     // bytes were taken since its start
  std::int64_t bodyBytesRead = 0;  // by the current hop
  std::int64_t bodySize = 0;
  std::size_t bodyOffset = 0;

  // The current hop.
  CURL* easy = nullptr;
  curl_slist* headers = nullptr;
  std::shared_ptr<const EnvironmentSnapshot> env;
  char errorText[CURL_ERROR_SIZE] = {};
  int status = 0;
  std::optional<std::string> httpVersion;
  std::vector<std::pair<std::string, std::string>> fields;
  bool headersDone = false;
  std::optional<URL> redirectTarget;
  std::shared_ptr<HTTPURLResponse> redirectResponse;
  Data redirectBody;

  // What the task has received.
  std::shared_ptr<HTTPURLResponse> response;
  Data buffer;  // completion-handler tasks
  bool awaitingDisposition = false;
  bool awaitingRedirect = false;
  bool receivePaused = false;  // libcurl holds body bytes until the disposition arrives
  bool suspended = false;
  std::optional<Data> heldBody;  // a refused redirect's body waiting for the disposition
  bool heldEnd = false;          // the transfer ended while the disposition was awaited
  std::optional<NSError> localError;
  FILE* out = nullptr;
  std::string outPath;
  std::int64_t written = 0;

  std::int64_t reportedSent = 0;
  curl_off_t lastUp = 0, lastDown = 0;
  double lastActivity = 0;

  explicit Transfer(URLRequest r) : request(std::move(r)) {}
  ~Transfer() {
    curl_slist_free_all(headers);
    closeBody();
    if (out) std::fclose(out);
    if (!outPath.empty()) ::unlink(outPath.c_str());
  }

  void touch() { lastActivity = monotonicNow(); }
  // Whether libcurl may send the current hop's request once more: the server provably did not
  // act on the first send. It refused the Expect before the body, or refused the HTTP/2 stream;
  // libcurl then tries again having received nothing and reported no failure, while a
  // connection that died under the stream reports one.
  bool resendAllowed() const {
    return sends == 1 && (expectRefusal || (multiplexed && status == 0 && errorText[0] == 0));
  }
  void closeBody() {
    if (bodyFile) std::fclose(bodyFile);
    bodyFile = nullptr;
    if (bodyStream) bodyStream->close();
    bodyStream.reset();
  }
  std::string urlText() const { return request.url ? request.url->absoluteString() : ""; }
  void enqueue(std::function<void()> block) const { engine->toDelegateQueue(std::move(block)); }
  NSError errorFor(CURLcode code) const {
    return NSError::urlError(urlErrorCode(code), urlText(),
                             errorText[0] != 0 ? errorText : curl_easy_strerror(code));
  }
};

// Redirects (Redirects.cpp).
bool isRedirectStatus(int status);
// The absolute target of a Location header, resolved against the URL that answered.
std::optional<URL> resolve(const URL& base, const std::string& location);

// Request bodies (Bodies.cpp).
bool isBodiless(const std::string& method);
// Takes the body the task sends: the bytes or file given to the session, else the request's
// own. Returns why the task cannot start, if it cannot.
std::optional<NSError> openBody(Transfer& t, const TaskState& state);
// Puts the body back to its start for a new hop; false when a stream cannot go back.
bool rewindBody(Transfer& t);

}  // namespace Foundation::Networking
