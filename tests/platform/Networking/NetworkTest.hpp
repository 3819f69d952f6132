// Shared pieces of the URL loading tests: one sandbox for the program, routed and trusted
// through the network environment, and a delegate that records what the session tells it.
#pragma once

#include <Foundation/HTTPCookieStorage.hpp>
#include <Foundation/HTTPURLResponse.hpp>
#include <Foundation/InputStream.hpp>
#include <Foundation/NSError.hpp>
#include <Foundation/NetworkEnvironment.hpp>
#include <Foundation/OperationQueue.hpp>
#include <Foundation/URL.hpp>
#include <Foundation/URLRequest.hpp>
#include <Foundation/URLSession.hpp>
#include <Foundation/URLSessionDelegate.hpp>
#include <Foundation/URLSessionTask.hpp>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include "support/SandboxFixture.hpp"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace nettest {

using namespace Foundation;

URL url(const std::string& text);
std::string text(const Data& data);
nlohmann::json json(const Data& data);
// The header value an echo answer reports for `name` (case-insensitive), if any.
std::optional<std::string> echoedHeader(const nlohmann::json& echo, const std::string& name);

// A body stream over text that may refuse to seek or fail part way.
class TextStream : public InputStream {
 public:
  TextStream(std::string text, bool seekable, std::optional<std::size_t> failAt = std::nullopt)
      : text_(std::move(text)), seekable_(seekable), failAt_(failAt) {}
  void open() override { opens += 1; }
  void close() override { closes += 1; }
  std::ptrdiff_t read(std::uint8_t* buffer, std::size_t maxLength) override {
    const std::size_t end = std::min(text_.size(), failAt_.value_or(text_.size()));
    if (offset_ >= end && failAt_) {
      failed_ = true;
      return -1;
    }
    const std::size_t n = std::min(maxLength, end - offset_);
    std::memcpy(buffer, text_.data() + offset_, n);
    offset_ += n;
    return static_cast<std::ptrdiff_t>(n);
  }
  std::optional<NSError> streamError() const override {
    return failed_ ? std::optional<NSError>(NSError("TextStream", 7)) : std::nullopt;
  }
  bool setProperty(std::int64_t value, PropertyKey) override {
    if (!seekable_) return false;
    offset_ = static_cast<std::size_t>(value);
    return true;
  }

  std::atomic<int> opens{0}, closes{0};

 private:
  const std::string text_;
  const bool seekable_;
  const std::optional<std::size_t> failAt_;
  std::size_t offset_ = 0;
  bool failed_ = false;
};

// A file of the given content in the temporary folder, removed with the object.
class TempFile {
 public:
  explicit TempFile(const std::string& content);
  ~TempFile();
  URL fileURL() const { return URL::fileURLWithPath(path_, false); }

 private:
  std::string path_;
};

// What a completion handler received.
struct Outcome {
  std::optional<Data> data;
  std::shared_ptr<HTTPURLResponse> response;
  std::optional<NSError> error;
  bool onDelegateQueue = false;
  bool onMainThread = false;
};

// How a task's completion ended it, shared with the handler so a late one writes into live
// memory.
struct TaskEnd {
  std::atomic<bool> done{false};
  std::optional<NSError> error;
};

// Runs a data task with a completion handler to its end (serving the main run loop).
Outcome load(const std::shared_ptr<URLSession>& session, const URLRequest& request,
             double seconds = 20.0);

// Every header block the sessions write or read while it is installed.
class WireTrace {
 public:
  WireTrace();
  ~WireTrace();
  // The request header blocks of `session`, in the order they went out.
  std::vector<std::string> requestHeaders(const std::shared_ptr<URLSession>& session) const;

 private:
  struct Store;
  std::shared_ptr<Store> store_;
};

struct Event {
  enum class Kind { redirect, sent, response, data, wrote, finished, completed, invalid };
  explicit Event(Kind kind, std::uint64_t task = 0, int status = 0, std::string url = {})
      : kind(kind), task(task), status(status), url(std::move(url)) {}
  Kind kind;
  std::uint64_t task = 0;
  int status = 0;
  std::string url;  // the redirect's new URL, or the response's URL
  std::int64_t a = 0, b = 0, c = 0;
  std::optional<NSError> error;
  bool onDelegateQueue = false;
};

// A data and download delegate that records every call, in order.
class Recorder : public URLSessionDataDelegate, public URLSessionDownloadDelegate {
 public:
  std::atomic<bool> refuseRedirects{false};
  std::atomic<bool> cancelOnResponse{false};

  void willPerformHTTPRedirection(const std::shared_ptr<URLSession>& session,
                                  const std::shared_ptr<URLSessionTask>& task,
                                  const std::shared_ptr<HTTPURLResponse>& response,
                                  const URLRequest& newRequest,
                                  std::function<void(std::optional<URLRequest>)> handler) override;
  void didSendBodyData(const std::shared_ptr<URLSession>& session,
                       const std::shared_ptr<URLSessionTask>& task, std::int64_t bytesSent,
                       std::int64_t totalBytesSent, std::int64_t totalBytesExpectedToSend) override;
  void didCompleteWithError(const std::shared_ptr<URLSession>& session,
                            const std::shared_ptr<URLSessionTask>& task,
                            const std::optional<NSError>& error) override;
  void didReceiveResponse(const std::shared_ptr<URLSession>& session,
                          const std::shared_ptr<URLSessionDataTask>& dataTask,
                          const std::shared_ptr<URLResponse>& response,
                          std::function<void(URLSession::ResponseDisposition)> handler) override;
  void didReceiveData(const std::shared_ptr<URLSession>& session,
                      const std::shared_ptr<URLSessionDataTask>& dataTask,
                      const Data& data) override;
  void didFinishDownloadingTo(const std::shared_ptr<URLSession>& session,
                              const std::shared_ptr<URLSessionDownloadTask>& downloadTask,
                              const URL& location) override;
  void didWriteData(const std::shared_ptr<URLSession>& session,
                    const std::shared_ptr<URLSessionDownloadTask>& downloadTask,
                    std::int64_t bytesWritten, std::int64_t totalBytesWritten,
                    std::int64_t totalBytesExpectedToWrite) override;
  void didBecomeInvalidWithError(const std::shared_ptr<URLSession>& session,
                                 const std::optional<NSError>& error) override;

  std::vector<Event> events() const;
  std::vector<Event> events(Event::Kind kind) const;
  Data body() const;  // the data pieces joined
  std::string downloadedFile() const;
  std::string downloadedPath() const;
  std::size_t completedCount() const;
  bool invalidated() const;

 private:
  void record(Event event, const std::shared_ptr<URLSession>& session);
  mutable std::mutex mutex_;
  std::vector<Event> events_;
  Data body_;
  std::string downloaded_, downloadedPath_;
};

// Each test starts with the sandbox reset, the four host names routed to it, its CA as the only
// trust anchor and an empty cookie store. Connections are shared by every session of the
// process, so each test trusts the CA under TLS settings of its own: no test rides a
// connection an earlier one left open.
class NetworkTest : public ::testing::Test {
 public:
  static std::string base(const std::string& host = "id.zentrel.com") { return "https://" + host; }

 protected:
  void SetUp() override;
  void TearDown() override;

  static sandbox::Sandbox& sb() { return zttest::sandboxServer(); }
  // Trusts the sandbox's CA (and `moreAnchors`, PEM) under TLS settings no transfer has used.
  static void trustSandboxAfresh(const std::string& moreAnchors = {});
  static std::shared_ptr<URLSession> session(
      std::shared_ptr<URLSessionDelegate> delegate = nullptr) {
    return URLSession::make(URLSessionConfiguration::defaultConfiguration(), std::move(delegate));
  }
};

}  // namespace nettest
