// Request bodies: bytes, files and streams, sent through libcurl's read callback and sent
// again from their start on each hop that keeps them.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>

#include "Foundation/Networking/Transfer.hpp"

namespace Foundation::Networking {

namespace {

// The body length the request announces, if it announces a sound one.
std::optional<std::int64_t> declaredLength(const URLRequest& request) {
  const auto text = request.value("Content-Length");
  if (!text) return std::nullopt;
  std::int64_t length = -1;
  const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), length);
  if (error != std::errc() || end != text->data() + text->size() || length < 0) {
    return std::nullopt;
  }
  return length;
}

}  // namespace

bool isBodiless(const std::string& method) {
  return method == "GET" || method == "HEAD";
}

std::optional<NSError> openBody(Transfer& t, const TaskState& state) {
  // An upload task's body is the one given to the session, never the request's own.
  if (state.uploadFile || state.uploadData) {
    t.request.httpBody.reset();
    t.request.httpBodyStream.reset();
  }
  if (state.uploadFile) {
    const std::string& path = *state.uploadFile;
    t.bodyFile = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    const int openError = t.bodyFile == nullptr ? errno : 0;
    struct stat info {};
    if (t.bodyFile == nullptr || ::fstat(::fileno(t.bodyFile), &info) != 0 ||
        !S_ISREG(info.st_mode)) {
      const int code =
          openError == EACCES ? NSURLErrorNoPermissionsToReadFile : NSURLErrorFileDoesNotExist;
      return NSError::urlError(code, t.urlText());
    }
    t.hasBody = true;
    t.bodySize = info.st_size;
  } else if (state.uploadData) {
    t.hasBody = true;
    t.bodyData = state.uploadData;
  } else if (t.request.httpBody) {
    t.hasBody = true;
    t.bodyData = std::make_shared<const Data>(*t.request.httpBody);
  } else if (t.request.httpBodyStream) {
    t.hasBody = true;
    t.bodyStream = t.request.httpBodyStream;
    t.bodySize = declaredLength(t.request).value_or(NSURLSessionTransferSizeUnknown);
    t.bodyStream->open();
  }
  if (t.bodyData) t.bodySize = static_cast<std::int64_t>(t.bodyData->size());
  if (t.hasBody && isBodiless(t.request.httpMethod)) {
    // The platform refuses a body on a GET rather than drop it unseen.
    return NSError::urlError(NSURLErrorDataLengthExceedsMaximum, t.urlText());
  }
  return std::nullopt;
}

bool rewindBody(Transfer& t) {
  t.bodyOffset = 0;
  t.bodyBytesRead = 0;
  if (t.bodyFile) std::fseek(t.bodyFile, 0, SEEK_SET);
  if (t.bodyStream && t.bodyStreamRead) {
    if (!t.bodyStream->setProperty(0, InputStream::PropertyKey::fileCurrentOffsetKey)) {
      return false;
    }
    t.bodyStreamRead = false;
  }
  return true;
}

std::size_t Engine::onRead(char* data, std::size_t size, std::size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const std::size_t want = size * count;
  if (t.bodyFile) {
    const std::size_t got = std::fread(data, 1, want, t.bodyFile);
    if (got == 0 && std::ferror(t.bodyFile)) return CURL_READFUNC_ABORT;
    return got;
  }
  if (t.bodyStream) {
    const std::ptrdiff_t got = t.bodyStream->read(reinterpret_cast<std::uint8_t*>(data), want);
    if (got < 0) {
      t.localError = t.bodyStream->streamError().value_or(
          NSError::urlError(NSURLErrorRequestBodyStreamExhausted, t.urlText()));
      return CURL_READFUNC_ABORT;
    }
    if (got > 0) t.bodyStreamRead = true;
    t.bodyBytesRead += got;
    return static_cast<std::size_t>(got);
  }
  if (t.bodyData) {
    const std::size_t n = std::min(want, t.bodyData->size() - t.bodyOffset);
    std::copy_n(t.bodyData->data() + t.bodyOffset, n, data);
    t.bodyOffset += n;
    return n;
  }
  return 0;
}

int Engine::onSeek(void* user, curl_off_t offset, int origin) {
  auto& t = *static_cast<Transfer*>(user);
  if (origin != SEEK_SET || offset < 0 || (t.bodySize >= 0 && offset > t.bodySize)) {
    return CURL_SEEKFUNC_CANTSEEK;
  }
  // libcurl rewinds only to send the body again within the hop.
  if (!t.repeatable && t.sends > 0 && !t.resendAllowed()) {
    t.resendRefused = true;
    return CURL_SEEKFUNC_FAIL;
  }
  if (t.bodyFile) {
    return ::fseeko(t.bodyFile, static_cast<off_t>(offset), SEEK_SET) == 0 ? CURL_SEEKFUNC_OK
                                                                           : CURL_SEEKFUNC_FAIL;
  }
  if (t.bodyStream) {
    if (offset == 0 && !t.bodyStreamRead) return CURL_SEEKFUNC_OK;
    if (!t.bodyStream->setProperty(offset, InputStream::PropertyKey::fileCurrentOffsetKey)) {
      return CURL_SEEKFUNC_CANTSEEK;
    }
    t.bodyStreamRead = offset > 0;
    t.bodyBytesRead = offset;
    return CURL_SEEKFUNC_OK;
  }
  t.bodyOffset = static_cast<std::size_t>(offset);
  return CURL_SEEKFUNC_OK;
}

int Engine::onProgress(void* user, curl_off_t, curl_off_t dlnow, curl_off_t, curl_off_t ulnow) {
  auto& t = *static_cast<Transfer*>(user);
  if (ulnow > t.lastUp || dlnow > t.lastDown) {
    t.lastUp = std::max(t.lastUp, ulnow);
    t.lastDown = std::max(t.lastDown, dlnow);
    t.touch();
  }
  if (t.hasBody) reportSent(t, ulnow);
  return 0;
}

void Engine::reportSent(Transfer& t, std::int64_t totalSent) {
  // A chunked body's count includes the chunk framing; the body bytes are at most those read.
  if (t.bodySize < 0) totalSent = std::min(totalSent, t.bodyBytesRead);
  // Only forward: a body sent again after a redirect does not count twice.
  if (totalSent <= t.reportedSent) return;
  const std::int64_t step = totalSent - t.reportedSent;
  t.reportedSent = totalSent;
  if (!t.taskDelegate) return;
  t.enqueue([delegate = t.taskDelegate, session = t.session, task = t.task, step, totalSent,
             expected = t.bodySize] {
    delegate->didSendBodyData(session, task, step, totalSent, expected);
  });
}

}  // namespace Foundation::Networking
