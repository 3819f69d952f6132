// Redirects: the session runs them itself, offering each to the task delegate.
#include <atomic>

#include "Foundation/Networking/Transfer.hpp"

namespace Foundation::Networking {

namespace {

constexpr int kMaxRedirects = 20;

struct Origin {
  std::string scheme, host;
  int port = 0;
  bool operator==(const Origin&) const = default;
};

Origin originOf(const URL& url) {
  Origin o{lowered(url.scheme().value_or("")), lowered(url.host().value_or("")), 0};
  o.port = url.port().value_or(o.scheme == "https" ? 443 : o.scheme == "http" ? 80 : 0);
  return o;
}

}  // namespace

bool isRedirectStatus(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::optional<URL> resolve(const URL& base, const std::string& location) {
  CURLU* u = curl_url();
  if (u == nullptr) return std::nullopt;
  std::optional<URL> result;
  char* text = nullptr;
  if (curl_url_set(u, CURLUPART_URL, base.absoluteString().c_str(), 0) == CURLUE_OK &&
      curl_url_set(u, CURLUPART_URL, location.c_str(), 0) == CURLUE_OK &&
      curl_url_get(u, CURLUPART_URL, &text, 0) == CURLUE_OK) {
    result = URL::string(text);
  }
  curl_free(text);
  curl_url_cleanup(u);
  return result;
}

void Engine::redirect(Transfer& t) {
  if (++t.redirects > kMaxRedirects) {
    return complete(t, NSError::urlError(NSURLErrorHTTPTooManyRedirects, t.urlText()));
  }
  URLRequest next = t.request;
  next.url = *t.redirectTarget;
  const int status = t.redirectResponse->statusCode();
  const std::string& method = t.request.httpMethod;
  if ((status == 303 && method != "HEAD") ||
      ((status == 301 || status == 302) && method == "POST")) {
    next.httpMethod = "GET";
    next.httpBody.reset();
    next.httpBodyStream.reset();
    next.setValue(std::nullopt, "Content-Type");
    next.setValue(std::nullopt, "Content-Length");
  }
  // Credentials meant for one origin are not handed to another.
  if (!(originOf(*t.request.url) == originOf(*next.url))) {
    next.setValue(std::nullopt, "Authorization");
  }
  if (!t.taskDelegate) return follow(t, next);

  t.awaitingRedirect = true;
  auto once = std::make_shared<std::atomic<bool>>(false);
  auto handler = [weak = t.weakEngine, task = t.task, once](std::optional<URLRequest> request) {
    if (once->exchange(true)) return;
    if (auto engine = weak.lock()) engine->redirectDecided(task, std::move(request));
  };
  t.enqueue([delegate = t.taskDelegate, session = t.session, task = t.task,
             response = t.redirectResponse, next = std::move(next), handler = std::move(handler)] {
    delegate->willPerformHTTPRedirection(session, task, response, next, handler);
  });
}

void Engine::follow(Transfer& t, const URLRequest& request) {
  if (auto error = checkLoadable(request)) return complete(t, std::move(error));
  t.request = request;
  t.retriedOnNewConnection = false;
  {
    std::lock_guard lock(t.state->mutex);
    t.state->currentRequest = request;
  }
  if (isBodiless(request.httpMethod)) {
    t.hasBody = false;
    t.bodyData.reset();
    t.closeBody();
  } else if (request.httpBody) {
    t.closeBody();
    t.hasBody = true;
    t.bodyData = std::make_shared<const Data>(*request.httpBody);
    t.bodySize = static_cast<std::int64_t>(t.bodyData->size());
  }
  startHop(t);
}

void Engine::refuseRedirect(Transfer& t) {
  auto response = std::move(t.redirectResponse);
  Data body = std::move(t.redirectBody);
  t.redirectTarget.reset();
  t.redirectResponse.reset();
  t.redirectBody.clear();
  finishWith(t, std::move(response), std::move(body));
}

void Engine::finishWith(Transfer& t, std::shared_ptr<HTTPURLResponse> response, Data body) {
  if (!publish(t, std::move(response))) return complete(t, t.localError);
  if (t.awaitingDisposition) {
    t.heldBody = std::move(body);
    t.heldEnd = true;
    return;
  }
  if (!body.empty() && !deliver(t, body.data(), body.size())) return complete(t, t.localError);
  complete(t, std::nullopt);
}

}  // namespace Foundation::Networking
