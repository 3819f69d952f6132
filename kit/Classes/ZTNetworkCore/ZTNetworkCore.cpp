#include "ZTNetworkCore/ZTNetworkCore.hpp"

#include <cmath>
#include <cstdint>
#include <mutex>

#include <Foundation/CharacterSet.hpp>
#include <Foundation/NSError.hpp>
#include <Foundation/OperationQueue.hpp>
#include <Foundation/URLSessionConfiguration.hpp>
#include <Foundation/UUID.hpp>

#include "ZTNetworkCore/DownloadService.hpp"
#include "ZTNetworkCore/ZTMultipartFileStream.hpp"
#include "ZTNetworkCore/ZTNetworkTrace.hpp"
#include "ZTNetworkCore/ZTUploadService.hpp"

namespace ZentrelSDK {

std::string_view rawValue(ZTHTTPMethod method) {
  return method == ZTHTTPMethod::get ? "GET" : "POST";
}

std::optional<ZTHTTPMethod> fromRawValue(std::string_view text) {
  if (text == "GET") return ZTHTTPMethod::get;
  if (text == "POST") return ZTHTTPMethod::post;
  return std::nullopt;
}

namespace {

constexpr Foundation::TimeInterval kRequestTimeout = 60.0;

// A session without a delegate carries only completions, which are wanted on the main queue:
// it delivers there itself, one hand-over from the session's thread (none when the calling
// main thread has already taken in the whole answer while sending). A listener is offered
// redirects off the main thread, on the session's own queue.
std::shared_ptr<Foundation::URLSession> makeSession(
    std::shared_ptr<ZTOAuthRedirectListener> listener = nullptr) {
  auto queue = listener ? nullptr : Foundation::OperationQueue::main();
  return Foundation::URLSession::make(Foundation::URLSessionConfiguration::defaultConfiguration(),
                                      std::move(listener), std::move(queue));
}

// The shared session and the listener slot, replaced only under the lock.
struct SharedState {
  std::mutex mutex;
  std::shared_ptr<Foundation::URLSession> session = makeSession();
  std::shared_ptr<ZTOAuthRedirectListener> redirectManager;
};

SharedState& state() {
  static SharedState shared;
  return shared;
}

// Query characters left as they are: the URL query set without "&" (it separates pairs) and
// "+" (servers read a raw "+" as a blank).
const Foundation::CharacterSet& queryValueAllowed() {
  static const Foundation::CharacterSet allowed =
      Foundation::CharacterSet::urlQueryAllowed().subtracting("&+");
  return allowed;
}

// A raw "=" in a key would end the key early when the pair is read back.
const Foundation::CharacterSet& queryKeyAllowed() {
  static const Foundation::CharacterSet allowed = queryValueAllowed().subtracting("=");
  return allowed;
}

std::optional<std::string> queryValueText(const nlohmann::json& value) {
  if (value.is_string()) {
    return Foundation::addingPercentEncoding(value.get_ref<const std::string&>(),
                                             queryValueAllowed());
  }
  if (value.is_boolean()) return value.get<bool>() ? "true" : "false";
  if (value.is_number_integer()) return value.dump();
  if (value.is_number_float()) {
    // A whole number written as a double still counts as an integer.
    const double d = value.get<double>();
    if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.0e15) {
      return std::to_string(static_cast<std::int64_t>(d));
    }
  }
  return std::nullopt;
}

}  // namespace

ZTNetworkCore::EncodedBody ZTNetworkCore::nothing() {
  EncodedBody body;
  body.isEmpty = true;
  return body;
}

std::shared_ptr<Foundation::URLSession> ZTNetworkCore::urlSession() {
  auto& shared = state();
  std::lock_guard lock(shared.mutex);
  return shared.session;
}

Foundation::Result<std::string, Error> ZTNetworkCore::buildQueryString(const EncodedBody& body) {
  if (body.isEmpty) return Foundation::success(std::string());
  if (body.failed || !body.json.is_object()) {
    return Foundation::failure(Error(ZTNetworkError::cannotEncodeParameters()));
  }
  std::string query;
  for (const auto& [key, value] : body.json.items()) {
    auto text = queryValueText(value);
    if (!text) continue;
    query += query.empty() ? '?' : '&';
    query += Foundation::addingPercentEncoding(key, queryKeyAllowed());
    query += '=';
    query += *text;
  }
  return Foundation::success(std::move(query));
}

Foundation::Result<Foundation::URL, Error> ZTNetworkCore::createUrl(const std::string& url,
                                                                    ZTHTTPMethod method,
                                                                    const EncodedBody& body) {
  if (method == ZTHTTPMethod::get) {
    auto query = buildQueryString(body);
    if (query.isFailure()) return Foundation::failure(query.error());
    const std::string text = url + query.value();
    auto parsed = Foundation::URL::string(text);
    if (!parsed) return Foundation::failure(Error(ZTNetworkError::wrongURL()));
    if (ZTLogger::errorsPrint()) {
      ZTLogger::networkLog(ZTNetworkTrace::request(rawValue(method), text));
    }
    return Foundation::success(std::move(*parsed));
  }
  auto parsed = Foundation::URL::string(url);
  if (!parsed) return Foundation::failure(Error(ZTNetworkError::wrongURL()));
  return Foundation::success(std::move(*parsed));
}

void ZTNetworkCore::addHeaders(Foundation::URLRequest& request,
                               const std::optional<Headers>& headers) {
  if (!headers) return;
  for (const auto& [name, value] : *headers) request.setValue(value, name);
}

Foundation::Result<Foundation::URLRequest, Error> ZTNetworkCore::makeRequest(
    const Foundation::URL& url, ZTHTTPMethod method, const std::optional<Headers>& headers,
    const EncodedBody& body) {
  Foundation::URLRequest request(url, Foundation::URLRequest::CachePolicy::useProtocolCachePolicy,
                                 kRequestTimeout);
  request.httpMethod = std::string(rawValue(method));
  if (!body.isEmpty && method != ZTHTTPMethod::get) {
    if (body.failed) return Foundation::failure(Error(ZTNetworkError::cannotEncodeBody()));
    std::string text;
    try {
      text = body.orderedText.empty() ? body.json.dump() : body.orderedText;
    } catch (const nlohmann::json::exception&) {
      // Text that is not UTF-8 cannot be written as JSON.
      return Foundation::failure(Error(ZTNetworkError::cannotEncodeBody()));
    }
    if (ZTLogger::errorsPrint()) {
      ZTLogger::networkLog(ZTNetworkTrace::requestBody(body.json, text.size()));
    }
    request.httpBody = Foundation::dataFromString(text);
  }
  addHeaders(request, headers);
  return Foundation::success(std::move(request));
}

std::optional<Foundation::URLRequest> ZTNetworkCore::prepare(
    const std::string& url, ZTHTTPMethod method, const Headers& headers, const EncodedBody& body,
    const std::function<void(Error)>& failed) {
  auto parsed = createUrl(url, method, body);
  if (parsed.isFailure()) {
    failed(parsed.error());
    return std::nullopt;
  }
  auto request = makeRequest(parsed.value(), method, headers, body);
  if (request.isFailure()) {
    failed(request.error());
    return std::nullopt;
  }
  return std::move(request).value();
}

std::optional<Foundation::URLRequest> ZTNetworkCore::prepareForm(
    const std::string& url, const Headers& headers,
    const Foundation::Result<Foundation::Data, ZTNetworkError>& form,
    const std::function<void(Error)>& failed) {
  auto parsed = createUrl(url, ZTHTTPMethod::post, nothing());
  if (parsed.isFailure()) {
    failed(parsed.error());
    return std::nullopt;
  }
  if (form.isFailure()) {
    failed(Error(form.error()));
    return std::nullopt;
  }
  Foundation::URLRequest request(
      parsed.value(), Foundation::URLRequest::CachePolicy::useProtocolCachePolicy, kRequestTimeout);
  request.httpMethod = "POST";
  request.httpBody = form.value();
  addHeaders(request, headers);
  return request;
}

void ZTNetworkCore::run(const Foundation::URLRequest& request, AnswerHandler onMain) {
  auto task = urlSession()->dataTask(
      request, [onMain = std::move(onMain)](std::optional<Foundation::Data> data,
                                            std::shared_ptr<Foundation::URLResponse> response,
                                            std::optional<Foundation::NSError> error) mutable {
        // The trace needs only the answer's shape, and is written before the answer moves on
        // (only when a line would print: it costs a whole parse of the answer).
        if (ZTLogger::errorsPrint()) {
          std::optional<std::string> line;
          if (data) {
            const auto json = Foundation::parseJSON(Foundation::Bytes(*data));
            if (json.isSuccess()) {
              auto http = std::dynamic_pointer_cast<Foundation::HTTPURLResponse>(response);
              line =
                  ZTNetworkTrace::answer(http ? http->statusCode() : 0, json.value(), data->size());
            }
          }
          if (line) {
            ZTLogger::networkLog(*line);
          } else {
            ZTLogger::errorLog("cannot serializate data");
          }
        }

        // The session hands over an error, or else the response with its bytes; a response
        // that is missing or not HTTP is judged as responseIsNil.
        using Answer = Foundation::Result<RawAnswer, Error>;
        Answer result =
            error ? Answer(Foundation::failure(Error(*error)))
                  : Answer(Foundation::success(RawAnswer(
                        std::move(response), std::move(data).value_or(Foundation::Data()))));
        if (Dispatch::DispatchQueue::main().isCurrent()) return onMain(std::move(result));
        Dispatch::DispatchQueue::main().async(
            [onMain = std::move(onMain), result = std::move(result)]() mutable {
              onMain(std::move(result));
            });
      });
  task->resume();
}

void ZTNetworkCore::processResponce(Foundation::Result<RawAnswer, Error> result,
                                    const ResponseCompletion& completion) {
  if (!completion) return;
  if (result.isFailure()) return completion(Foundation::failure(std::move(result).error()));
  auto& [response, data] = result.value();
  auto http = std::dynamic_pointer_cast<Foundation::HTTPURLResponse>(response);
  if (!http) return completion(Foundation::failure(Error(ZTNetworkError::responseIsNil())));
  completion(Foundation::success(ZTResponse{http->statusCode(), std::move(data)}));
}

Foundation::Result<const Foundation::Data*, Error> ZTNetworkCore::judgeStrict(
    const Foundation::Result<RawAnswer, Error>& result) {
  if (result.isFailure()) return Foundation::failure(result.error());
  const auto& [response, data] = result.value();
  auto http = std::dynamic_pointer_cast<Foundation::HTTPURLResponse>(response);
  if (!http) return Foundation::failure(Error(ZTNetworkError::responseIsNil()));
  if (http->statusCode() == 401) return Foundation::failure(Error(ZTNetworkError::unauthorized()));
  if (http->statusCode() != 200) {
    return Foundation::failure(Error(ZTNetworkError::statusCodeIsNot200(http->statusCode())));
  }
  return Foundation::success(&data);
}

void ZTNetworkCore::logDecodingFailure(const Foundation::DecodingError& error) {
  ZTLogger::errorLog(error.localizedDescription());
}

void ZTNetworkCore::upload(const std::string& url, const Headers& headers,
                           const Foundation::URL& file, ResponseCompletion completion,
                           ProgressCallback uploadProgress) {
  auto parsed = Foundation::URL::string(url);
  if (!parsed) {
    if (completion) completion(Foundation::failure(Error(ZTNetworkError::wrongURL())));
    if (uploadProgress) uploadProgress(Foundation::failure(Error(ZTNetworkError::wrongURL())));
    return;
  }
  const std::string boundary = Foundation::UUID().uuidString();
  auto body = ZTMultipartFileStream::make(file, boundary);
  if (body.isFailure()) {
    if (completion) completion(Foundation::failure(body.error()));
    return;
  }
  auto request = makeRequest(*parsed, ZTHTTPMethod::post, headers, nothing());
  if (request.isFailure()) {
    if (completion) completion(Foundation::failure(request.error()));
    return;
  }
  // Whatever spelling the caller used, the multipart type replaces it.
  request.value().setValue(std::nullopt, "Content-Type");
  request.value().setValue("multipart/form-data; boundary=" + boundary, "Content-Type");
  request.value().setValue(std::to_string(body.value()->length()), "Content-Length");
  request.value().httpBodyStream = body.value();

  auto task = ZTUploadService::shared()->upload(request.value(), std::move(completion));
  task->setProgressHandler([uploadProgress = std::move(uploadProgress)](double fraction) {
    if (uploadProgress) uploadProgress(Foundation::success(fraction));
  });
  task->resume();
}

void ZTNetworkCore::download(const std::string& url, const std::optional<Headers>& headers,
                             ResponseCompletion completion, ProgressCallback downloadProgress) {
  auto parsed = Foundation::URL::string(url);
  if (!parsed) {
    if (completion) completion(Foundation::failure(Error(ZTNetworkError::wrongURL())));
    return;
  }
  auto request = makeRequest(*parsed, ZTHTTPMethod::get, headers, nothing());
  if (request.isFailure()) {
    if (completion) completion(Foundation::failure(request.error()));
    return;
  }
  auto task = DownloadService::shared()->download(request.value());
  std::weak_ptr<DownloadTask> weakTask = task;
  task->setCompletionHandler([completion = std::move(completion),
                              weakTask](Foundation::Result<Foundation::Data, Error> result) {
    if (!completion) return;
    if (result.isFailure()) return completion(Foundation::failure(std::move(result).error()));
    auto task = weakTask.lock();
    const int status = task ? task->statusCode().value_or(200) : 200;
    completion(Foundation::success(ZTResponse{status, std::move(result).value()}));
  });
  task->setProgressHandler(
      [downloadProgress = std::move(downloadProgress)](Foundation::Result<double, Error> result) {
        if (downloadProgress) downloadProgress(std::move(result));
      });
  task->resume();
}

void ZTNetworkCore::enableRedirectListener(
    const std::shared_ptr<ZTOAuthRedirectListener>& listener) {
  auto session = makeSession(listener);
  auto manager = listener;
  auto& shared = state();
  std::lock_guard lock(shared.mutex);
  shared.redirectManager.swap(manager);
  // The old session is not invalidated: its running tasks keep it alive until they end. Else
  // it goes here, after the lock: its end waits for its thread and takes the transport.
  shared.session.swap(session);
}

void ZTNetworkCore::disableRedirectListener() {
  auto session = makeSession();
  auto& shared = state();
  std::lock_guard lock(shared.mutex);
  shared.session.swap(session);  // the old one goes after the lock
}

Foundation::Result<std::shared_ptr<ZTOAuthRedirectListener>, ZTNetworkError>
ZTNetworkCore::getCurrentRedirectManager() {
  auto listener = std::dynamic_pointer_cast<ZTOAuthRedirectListener>(urlSession()->delegate());
  if (!listener) return Foundation::failure(ZTNetworkError::noRedirectManager());
  return Foundation::success(std::move(listener));
}

// A session's configuration is fixed when the session is made and configuration() hands out a
// copy, so these two edit the copy and leave the session's cookies as they are.
void ZTNetworkCore::clearCookies() {
  auto configuration = urlSession()->configuration();
  configuration.httpCookieStorage = nullptr;
}

void ZTNetworkCore::setCookies() {
  auto configuration = urlSession()->configuration();
  configuration.httpCookieStorage = Foundation::HTTPCookieStorage::shared();
}

}  // namespace ZentrelSDK
