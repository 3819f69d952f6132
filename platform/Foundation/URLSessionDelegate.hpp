#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "Foundation/Data.hpp"
#include "Foundation/HTTPURLResponse.hpp"
#include "Foundation/NSError.hpp"
#include "Foundation/URL.hpp"
#include "Foundation/URLRequest.hpp"
#include "Foundation/URLSession.hpp"
#include "Foundation/URLSessionTask.hpp"

namespace Foundation {

// The URL session delegate protocols. Every operation has the platform's default, so a
// delegate overrides only what it cares about. The session calls them on its delegate queue.
// Swift names them all `urlSession(_:...)`; here each carries the distinct part of its label.

// Swift's URLSessionDelegate.
class URLSessionDelegate {
 public:
  virtual ~URLSessionDelegate() = default;

  // urlSession(_:didBecomeInvalidWithError:): the last call the session makes.
  virtual void didBecomeInvalidWithError(const std::shared_ptr<URLSession>& /*session*/,
                                         const std::optional<NSError>& /*error*/) {}
};

// Swift's URLSessionTaskDelegate.
class URLSessionTaskDelegate : public virtual URLSessionDelegate {
 public:
  // urlSession(_:task:willPerformHTTPRedirection:newRequest:completionHandler:): call the
  // handler once, with the request to follow (`newRequest` or another) or nullopt to stop
  // there, in which case the task completes with the redirect response and its body. The
  // default follows `newRequest`.
  virtual void willPerformHTTPRedirection(
      const std::shared_ptr<URLSession>& /*session*/,
      const std::shared_ptr<URLSessionTask>& /*task*/,
      const std::shared_ptr<HTTPURLResponse>& /*response*/, const URLRequest& newRequest,
      std::function<void(std::optional<URLRequest>)> completionHandler) {
    completionHandler(newRequest);
  }

  // urlSession(_:task:didSendBodyData:totalBytesSent:totalBytesExpectedToSend:)
  virtual void didSendBodyData(const std::shared_ptr<URLSession>& /*session*/,
                               const std::shared_ptr<URLSessionTask>& /*task*/,
                               std::int64_t /*bytesSent*/, std::int64_t /*totalBytesSent*/,
                               std::int64_t /*totalBytesExpectedToSend*/) {}

  // urlSession(_:task:didCompleteWithError:): not called for tasks made with a completion
  // handler, which hears the end instead.
  virtual void didCompleteWithError(const std::shared_ptr<URLSession>& /*session*/,
                                    const std::shared_ptr<URLSessionTask>& /*task*/,
                                    const std::optional<NSError>& /*error*/) {}
};

// Swift's URLSessionDataDelegate (for data and upload tasks without a completion handler).
class URLSessionDataDelegate : public virtual URLSessionTaskDelegate {
 public:
  // urlSession(_:dataTask:didReceive:completionHandler:): no body arrives until the handler
  // is called; cancel ends the task with NSURLErrorCancelled. The default allows.
  virtual void didReceiveResponse(
      const std::shared_ptr<URLSession>& /*session*/,
      const std::shared_ptr<URLSessionDataTask>& /*dataTask*/,
      const std::shared_ptr<URLResponse>& /*response*/,
      std::function<void(URLSession::ResponseDisposition)> completionHandler) {
    completionHandler(URLSession::ResponseDisposition::allow);
  }

  // urlSession(_:dataTask:didReceive:): the next piece of the body.
  virtual void didReceiveData(const std::shared_ptr<URLSession>& /*session*/,
                              const std::shared_ptr<URLSessionDataTask>& /*dataTask*/,
                              const Data& /*data*/) {}
};

// Swift's URLSessionDownloadDelegate.
class URLSessionDownloadDelegate : public virtual URLSessionTaskDelegate {
 public:
  // urlSession(_:downloadTask:didFinishDownloadingTo:): the file is removed when this returns,
  // so move or read it here.
  virtual void didFinishDownloadingTo(const std::shared_ptr<URLSession>& session,
                                      const std::shared_ptr<URLSessionDownloadTask>& downloadTask,
                                      const URL& location) = 0;

  // urlSession(_:downloadTask:didWriteData:totalBytesWritten:totalBytesExpectedToWrite:);
  // the expected total is NSURLSessionTransferSizeUnknown when the response announced none.
  virtual void didWriteData(const std::shared_ptr<URLSession>& /*session*/,
                            const std::shared_ptr<URLSessionDownloadTask>& /*downloadTask*/,
                            std::int64_t /*bytesWritten*/, std::int64_t /*totalBytesWritten*/,
                            std::int64_t /*totalBytesExpectedToWrite*/) {}
};

}  // namespace Foundation
