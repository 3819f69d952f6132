// What the delegate hears and when: answers, body pieces, completion, traces. Every call
// goes to the session's delegate queue, in order.
#include <unistd.h>

#include <atomic>
#include <charconv>

#include "Foundation/FileManager.hpp"
#include "Foundation/Networking/CurlShare.hpp"
#include "Foundation/Networking/Transfer.hpp"
#include "Foundation/URLSession.hpp"

namespace Foundation::Networking {

namespace {
std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

void Engine::toDelegateQueue(std::function<void()> block) {
  delegateBlocks_.push_back(std::move(block));
}

std::size_t Engine::onHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  t.touch();
  std::string_view line(data, n);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (line.starts_with("HTTP/")) {
    // A new header block: an interim 1xx answer may come before the real one.
    t.fields.clear();
    t.headersDone = false;
    t.status = 0;
    const auto space = line.find(' ');
    t.httpVersion = std::string(line.substr(0, space));
    if (space != std::string_view::npos) {
      const auto code = line.substr(space + 1, 3);
      std::from_chars(code.data(), code.data() + code.size(), t.status);
    }
    return n;
  }
  if (t.headersDone || t.status == 0) return n;  // trailers
  if (line.empty()) return endOfHeaders(t) ? n : 0;
  if ((line.front() == ' ' || line.front() == '\t') && !t.fields.empty()) {
    t.fields.back().second += " " + std::string(trimmed(line));
    return n;
  }
  const auto colon = line.find(':');
  if (colon == std::string_view::npos) return n;
  t.fields.emplace_back(std::string(line.substr(0, colon)),
                        std::string(trimmed(line.substr(colon + 1))));
  return n;
}

bool Engine::endOfHeaders(Transfer& t) {
  if (t.status < 200) return true;
  t.headersDone = true;
  auto response =
      std::make_shared<HTTPURLResponse>(*t.request.url, t.status, t.httpVersion, t.fields);
  if (t.cookies && response->value("Set-Cookie")) cookiesReceived();
  if (t.status == 417 && t.sends == 1) {
    const auto expect = t.request.value("Expect");
    if (expect && lowered(*expect).find("100-continue") != std::string::npos) {
      t.expectRefusal = std::move(response);
      return true;
    }
  }
  if (isRedirectStatus(t.status)) {
    if (auto location = response->value("Location")) {
      if (auto target = resolve(*t.request.url, *location)) {
        t.redirectTarget = std::move(target);
        t.redirectResponse = std::move(response);
        return true;
      }
    }
  }
  return publish(t, std::move(response));
}

bool Engine::publish(Transfer& t, std::shared_ptr<HTTPURLResponse> response) {
  t.response = response;
  {
    std::lock_guard lock(t.state->mutex);
    t.state->response = response;
  }
  if (t.mode == Mode::dataDelegate && t.dataDelegate) {
    t.awaitingDisposition = true;
    auto once = std::make_shared<std::atomic<bool>>(false);
    auto handler = [weak = t.weakEngine, task = t.task, once](URLSession::ResponseDisposition d) {
      if (once->exchange(true)) return;
      if (auto engine = weak.lock()) {
        engine->respond(task, d == URLSession::ResponseDisposition::allow);
      }
    };
    t.enqueue([delegate = t.dataDelegate, session = t.session,
               task = std::static_pointer_cast<URLSessionDataTask>(t.task), response,
               handler = std::move(handler)] {
      delegate->didReceiveResponse(session, task, response, handler);
    });
  } else if (t.mode == Mode::download && t.out == nullptr) {
    std::string path =
        FileManager::defaultManager().temporaryDirectory().path() + "/CFNetworkDownload_XXXXXX.tmp";
    const int fd = ::mkstemps(path.data(), 4);
    t.out = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
    if (t.out == nullptr) {
      if (fd >= 0) ::close(fd);
      if (fd >= 0) ::unlink(path.c_str());
      t.localError = NSError::urlError(NSURLErrorCannotCreateFile, t.urlText());
      return false;
    }
    t.outPath = std::move(path);
  }
  return true;
}

std::size_t Engine::onWrite(char* data, std::size_t size, std::size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  t.touch();
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
  if (t.expectRefusal) {
    t.expectRefusalBody.insert(t.expectRefusalBody.end(), bytes, bytes + n);
    return n;
  }
  if (t.redirectTarget) {
    t.redirectBody.insert(t.redirectBody.end(), bytes, bytes + n);
    return n;
  }
  if (t.awaitingDisposition) {
    t.receivePaused = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  return deliver(t, bytes, n) ? n : 0;
}

bool Engine::deliver(Transfer& t, const std::uint8_t* bytes, std::size_t size) {
  switch (t.mode) {
    case Mode::completion:
      t.buffer.insert(t.buffer.end(), bytes, bytes + size);
      return true;
    case Mode::dataDelegate:
      if (t.dataDelegate) {
        t.enqueue([delegate = t.dataDelegate, session = t.session,
                   task = std::static_pointer_cast<URLSessionDataTask>(t.task),
                   piece = Data(bytes, bytes + size)] {
          delegate->didReceiveData(session, task, piece);
        });
      }
      return true;
    case Mode::download:
      if (t.out == nullptr || std::fwrite(bytes, 1, size, t.out) != size) {
        t.localError = NSError::urlError(NSURLErrorCannotWriteToFile, t.urlText());
        return false;
      }
      t.written += static_cast<std::int64_t>(size);
      if (t.downloadDelegate) {
        t.enqueue([delegate = t.downloadDelegate, session = t.session,
                   task = std::static_pointer_cast<URLSessionDownloadTask>(t.task),
                   n = static_cast<std::int64_t>(size), total = t.written,
                   expected = t.response ? t.response->expectedContentLength()
                                         : NSURLSessionTransferSizeUnknown] {
          delegate->didWriteData(session, task, n, total, expected);
        });
      }
      return true;
  }
  return false;
}

void Engine::answer(Transfer& t, bool allow) {
  t.awaitingDisposition = false;
  if (!allow) return complete(t, NSError::urlError(NSURLErrorCancelled, t.urlText()));
  if (t.heldBody) {
    Data body = std::move(*t.heldBody);
    t.heldBody.reset();
    if (!body.empty() && !deliver(t, body.data(), body.size())) {
      return complete(t, t.localError);
    }
  }
  if (t.heldEnd) return complete(t, std::nullopt);
  t.touch();
  if (t.receivePaused) {
    t.receivePaused = false;
    applyPause(t);
  }
}

void Engine::complete(Transfer& t, std::optional<NSError> error) {
  const bool bound = needsThread(t);
  endHop(t);
  t.closeBody();
  if (t.out) std::fclose(t.out);
  t.out = nullptr;
  std::string file;
  if (!error && t.mode == Mode::download && t.downloadDelegate) file = std::exchange(t.outPath, {});

  {
    std::lock_guard lock(t.state->mutex);
    t.state->state = URLSessionTask::State::completed;
    t.state->error = error;
  }
  if (t.mode == Mode::completion) {
    std::optional<Data> data;
    if (!error) data = std::move(t.buffer);
    // Moved out, so whatever the handler holds is released once it has run.
    t.enqueue([handler = std::move(t.state->completion), task = t.task, session = t.session,
               data = std::move(data), response = std::shared_ptr<URLResponse>(t.response),
               error] { handler(data, response, error); });
  } else if (t.taskDelegate || !file.empty()) {
    t.enqueue([session = t.session, task = t.task, taskDelegate = t.taskDelegate,
               downloadDelegate = t.downloadDelegate, file, error] {
      if (!file.empty()) {
        downloadDelegate->didFinishDownloadingTo(
            session, std::static_pointer_cast<URLSessionDownloadTask>(task),
            URL::fileURLWithPath(file, false));
        ::unlink(file.c_str());
      }
      if (taskDelegate) taskDelegate->didCompleteWithError(session, task, error);
    });
  }
  // `t` is out of the engine from here on; what it holds goes once the engine is let go.
  leaving_.push_back(std::shared_ptr<Transfer>(std::move(transfers_.extract(t.id).mapped())));
  if (bound) handBackToMain();
  checkInvalidation();
}

int Engine::onDebug(CURL*, curl_infotype type, char* data, std::size_t size, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  if (!t.env || !t.env->trace) return 0;
  NetworkTrace trace;
  switch (type) {
    case CURLINFO_TEXT:
      trace.kind = NetworkTrace::Kind::text;
      break;
    case CURLINFO_HEADER_OUT:
      trace.kind = NetworkTrace::Kind::headerOut;
      break;
    case CURLINFO_HEADER_IN:
      trace.kind = NetworkTrace::Kind::headerIn;
      break;
    default:
      return 0;
  }
  trace.session = reinterpret_cast<std::uintptr_t>(t.session.get());
  trace.taskIdentifier = t.id;
  trace.bytes.assign(data, size);
  (*t.env->trace)(trace);
  return 0;
}

}  // namespace Foundation::Networking
