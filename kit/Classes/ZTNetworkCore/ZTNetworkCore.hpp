#pragma once

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include <nlohmann/json.hpp>

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/Data.hpp>
#include <Foundation/HTTPURLResponse.hpp>
#include <Foundation/Result.hpp>
#include <Foundation/URL.hpp>
#include <Foundation/URLRequest.hpp>
#include <Foundation/URLSession.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"
#include "ZTLogger.hpp"
#include "ZTNetworkCore/ZTCodableRequestBody.hpp"
#include "ZTNetworkCore/ZTNetworkErrors.hpp"
#include "ZTNetworkCore/ZTResponse.hpp"
#include "ZTNetworkCore/ZTUrlEncodedQuery.hpp"
#include "ZTOAuth/ZTOAuthRedirectListener.hpp"

namespace ZentrelSDK {

enum class ZTHTTPMethod { get, post };

// "GET" or "POST".
std::string_view rawValue(ZTHTTPMethod method);
// Exactly "GET" or "POST", case-sensitive.
std::optional<ZTHTTPMethod> fromRawValue(std::string_view text);

// The kit's HTTP client. Requests run on one shared URL session; answers are judged and handed
// to the completion on the main queue. A request that cannot be built (a URL that does not
// parse, a body that cannot be encoded, an upload file that cannot be opened) fails at once on
// the calling thread, before the call returns. Safe to call from any thread.
class ZTNetworkCore {
 public:
  using Headers = std::map<std::string, std::string>;
  template <class T>
  using Completion = std::function<void(Foundation::Result<T, Error>)>;
  using ResponseCompletion = Completion<ZTResponse>;
  using ProgressCallback = std::function<void(Foundation::Result<double, Error>)>;

  // Any HTTP status is a success: the status and the bytes as received. GET bodies go out as
  // the query; other bodies as JSON (no Content-Type of the core's own). EmptyBody sends
  // nothing.
  template <class Body>
  static void requestRequiredStatusCodeAnswer(const std::string& url, ZTHTTPMethod method,
                                              const Headers& headers, const Body& requestBody,
                                              ResponseCompletion completion);

  // Only 200 is a success, decoded into Answer (snake_case answer keys fill camelCase fields);
  // 401 fails with unauthorized, other statuses with statusCodeIsNot200, an answer that does
  // not decode with decodingError. An EmptyBody answer is made without reading the bytes.
  template <class Answer, class Body>
  static void requestRequired200StatusCodeAnswer(const std::string& url, ZTHTTPMethod method,
                                                 const Headers& headers, const Body& requestBody,
                                                 Completion<Answer> completion);

  // A POST with the form encoding of the body; the answer is judged as above.
  template <class Answer, class Body>
  static void postRequestWithUrlEncoded(const std::string& url, const Headers& headers,
                                        const Body& requestBody, Completion<Answer> completion);

  // Posts the file as a multipart body (one part "file", "file.jpg", image/jpeg) streamed from
  // the disk, on the upload service's session. Progress fractions, then the answer with its
  // status whatever it is. A URL that does not parse reports wrongURL to both callbacks, a file
  // that cannot be opened to the completion only, at once.
  static void upload(const std::string& url, const Headers& headers, const Foundation::URL& file,
                     ResponseCompletion completion, ProgressCallback uploadProgress = nullptr);

  // GETs the URL on the download service's session: fractions received (or a failure while the
  // length is unknown), then the status and the whole body.
  static void download(const std::string& url, const std::optional<Headers>& headers,
                       ResponseCompletion completion, ProgressCallback downloadProgress = nullptr);

  // Makes the listener the shared session's delegate, on a new session: requests started from
  // now on offer it their redirects; those already running finish on the old session.
  static void enableRedirectListener(const std::shared_ptr<ZTOAuthRedirectListener>& listener);
  // A new shared session without a delegate.
  static void disableRedirectListener();
  // The listener that is the current shared session's delegate, or noRedirectManager.
  static Foundation::Result<std::shared_ptr<ZTOAuthRedirectListener>, ZTNetworkError>
  getCurrentRedirectManager();

  // Neither changes how cookies are sent or kept; every session uses the shared cookie
  // storage. Only ZTTokenUtilites::clearTokens() removes cookies.
  static void clearCookies();
  static void setCookies();

  // The shared session requests start on now.
  static std::shared_ptr<Foundation::URLSession> urlSession();

 private:
  // A body as the core sends it: nothing (EmptyBody), its JSON form, or a failure to make one.
  struct EncodedBody {
    bool isEmpty = false;
    bool failed = false;
    nlohmann::json json;
    std::string orderedText;  // the body's own JSON text, for a body that keeps its key order
  };
  using RawAnswer = std::pair<std::shared_ptr<Foundation::URLResponse>, Foundation::Data>;
  using AnswerHandler = std::function<void(Foundation::Result<RawAnswer, Error>)>;

  static EncodedBody nothing();
  template <class Body>
  static EncodedBody encode(const Body& body) {
    EncodedBody encoded;
    if constexpr (std::is_same_v<std::decay_t<Body>, EmptyBody>) {
      encoded.isEmpty = true;
    } else {
      try {
        encoded.json = body;
        // A body that names its key order is written in that order, not sorted.
        if constexpr (requires { body.orderedJSON(); })
          encoded.orderedText = body.orderedJSON().dump();
      } catch (const std::exception&) {
        encoded.failed = true;
      }
    }
    return encoded;
  }

  static Foundation::Result<Foundation::URL, Error> createUrl(const std::string& url,
                                                              ZTHTTPMethod method,
                                                              const EncodedBody& body);
  static Foundation::Result<std::string, Error> buildQueryString(const EncodedBody& body);
  static Foundation::Result<Foundation::URLRequest, Error> makeRequest(
      const Foundation::URL& url, ZTHTTPMethod method, const std::optional<Headers>& headers,
      const EncodedBody& body);
  static void addHeaders(Foundation::URLRequest& request, const std::optional<Headers>& headers);

  // Builds URL and request; on failure calls `failed` at once and returns nullopt.
  static std::optional<Foundation::URLRequest> prepare(const std::string& url, ZTHTTPMethod method,
                                                       const Headers& headers,
                                                       const EncodedBody& body,
                                                       const std::function<void(Error)>& failed);
  static std::optional<Foundation::URLRequest> prepareForm(
      const std::string& url, const Headers& headers,
      const Foundation::Result<Foundation::Data, ZTNetworkError>& form,
      const std::function<void(Error)>& failed);

  // Runs the request on the shared session; `onMain` gets the answer on the main queue.
  static void run(const Foundation::URLRequest& request, AnswerHandler onMain);

  static void processResponce(Foundation::Result<RawAnswer, Error> result,
                              const ResponseCompletion& completion);
  // The answer's bytes when it is an HTTP 200, else the failure for the strict modes.
  static Foundation::Result<const Foundation::Data*, Error> judgeStrict(
      const Foundation::Result<RawAnswer, Error>& result);
  static void logDecodingFailure(const Foundation::DecodingError& error);

  template <class T>
  static void processStrictResponce(const Foundation::Result<RawAnswer, Error>& result,
                                    const Completion<T>& completion) {
    auto judged = judgeStrict(result);
    if (judged.isFailure()) return completion(Foundation::failure(judged.error()));
    if constexpr (std::is_same_v<T, EmptyBody>) {
      completion(Foundation::success(EmptyBody()));
    } else {
      auto decoded = parse<T>(*judged.value());
      if (decoded.isFailure()) {
        logDecodingFailure(decoded.error());
        return completion(Foundation::failure(Error(ZTNetworkError::decodingError())));
      }
      completion(Foundation::success(std::move(decoded).value()));
    }
  }
};

template <class Body>
void ZTNetworkCore::requestRequiredStatusCodeAnswer(const std::string& url, ZTHTTPMethod method,
                                                    const Headers& headers, const Body& requestBody,
                                                    ResponseCompletion completion) {
  auto request = prepare(url, method, headers, encode(requestBody),
                         [&](Error error) { completion(Foundation::failure(std::move(error))); });
  if (!request) return;
  run(*request, [completion = std::move(completion)](Foundation::Result<RawAnswer, Error> result) {
    processResponce(std::move(result), completion);
  });
}

template <class Answer, class Body>
void ZTNetworkCore::requestRequired200StatusCodeAnswer(const std::string& url, ZTHTTPMethod method,
                                                       const Headers& headers,
                                                       const Body& requestBody,
                                                       Completion<Answer> completion) {
  auto request = prepare(url, method, headers, encode(requestBody),
                         [&](Error error) { completion(Foundation::failure(std::move(error))); });
  if (!request) return;
  run(*request, [completion = std::move(completion)](Foundation::Result<RawAnswer, Error> result) {
    processStrictResponce<Answer>(result, completion);
  });
}

template <class Answer, class Body>
void ZTNetworkCore::postRequestWithUrlEncoded(const std::string& url, const Headers& headers,
                                              const Body& requestBody,
                                              Completion<Answer> completion) {
  auto request =
      prepareForm(url, headers, ZTUrlEncodedQuery::createRequest(requestBody),
                  [&](Error error) { completion(Foundation::failure(std::move(error))); });
  if (!request) return;
  run(*request, [completion = std::move(completion)](Foundation::Result<RawAnswer, Error> result) {
    processStrictResponce<Answer>(result, completion);
  });
}

}  // namespace ZentrelSDK
