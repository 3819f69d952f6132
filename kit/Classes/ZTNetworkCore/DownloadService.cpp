#include "ZTNetworkCore/DownloadService.hpp"

#include <algorithm>

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/HTTPURLResponse.hpp>
#include <Foundation/URLSessionConfiguration.hpp>
#include <Foundation/URLSessionDelegate.hpp>

#include "ZTLogger.hpp"
#include "ZTNetworkCore/ZTNetworkTrace.hpp"

namespace ZentrelSDK {

std::string DownloadingErrors::localizedDescription() const {
  return "the content length can\u2019t be determined";
}

// The session's delegate; it refers to the service weakly so the two do not keep each other.
class DownloadService::SessionDelegate final : public Foundation::URLSessionDataDelegate {
 public:
  explicit SessionDelegate(std::weak_ptr<DownloadService> service) : service_(std::move(service)) {}

  void didReceiveResponse(
      const std::shared_ptr<Foundation::URLSession>& /*session*/,
      const std::shared_ptr<Foundation::URLSessionDataTask>& dataTask,
      const std::shared_ptr<Foundation::URLResponse>& response,
      std::function<void(Foundation::URLSession::ResponseDisposition)> completionHandler) override {
    auto service = service_.lock();
    const bool known = service && service->didReceiveResponse(dataTask.get(), response);
    completionHandler(known ? Foundation::URLSession::ResponseDisposition::allow
                            : Foundation::URLSession::ResponseDisposition::cancel);
  }

  void didReceiveData(const std::shared_ptr<Foundation::URLSession>& /*session*/,
                      const std::shared_ptr<Foundation::URLSessionDataTask>& dataTask,
                      const Foundation::Data& data) override {
    if (auto service = service_.lock()) service->didReceiveData(dataTask.get(), data);
  }

  void didCompleteWithError(const std::shared_ptr<Foundation::URLSession>& /*session*/,
                            const std::shared_ptr<Foundation::URLSessionTask>& task,
                            const std::optional<Foundation::NSError>& error) override {
    if (auto service = service_.lock()) service->didCompleteWithError(task.get(), error);
  }

 private:
  std::weak_ptr<DownloadService> service_;
};

GenericDownloadTask::GenericDownloadTask(std::shared_ptr<Foundation::URLSessionDataTask> task)
    : task_(std::move(task)) {}

GenericDownloadTask::~GenericDownloadTask() {
  const auto& url = task_->originalRequest().url;
  ZTLogger::networkLog(ZTNetworkTrace::deinit(url ? url->absoluteString() : std::string()),
                       __FILE__, "deinit", __LINE__, 0);
}

DownloadTask::CompletionHandler GenericDownloadTask::completionHandler() const {
  std::lock_guard lock(mutex_);
  return completionHandler_;
}

void GenericDownloadTask::setCompletionHandler(CompletionHandler handler) {
  std::lock_guard lock(mutex_);
  completionHandler_.swap(handler);  // the old one goes after the lock
}

DownloadTask::ProgressHandler GenericDownloadTask::progressHandler() const {
  std::lock_guard lock(mutex_);
  return progressHandler_;
}

void GenericDownloadTask::setProgressHandler(ProgressHandler handler) {
  std::lock_guard lock(mutex_);
  progressHandler_.swap(handler);  // the old one goes after the lock
}

std::optional<int> GenericDownloadTask::statusCode() const {
  std::lock_guard lock(mutex_);
  return statusCode_;
}

const std::shared_ptr<DownloadService>& DownloadService::shared() {
  static const std::shared_ptr<DownloadService> instance = [] {
    std::shared_ptr<DownloadService> service(new DownloadService());
    service->session =
        Foundation::URLSession::make(Foundation::URLSessionConfiguration::defaultConfiguration(),
                                     std::make_shared<SessionDelegate>(service));
    return service;
  }();
  return instance;
}

std::shared_ptr<DownloadTask> DownloadService::download(const Foundation::URLRequest& request) {
  auto entry = std::make_shared<GenericDownloadTask>(session->dataTask(request));
  std::lock_guard lock(mutex_);
  downloadTasks.push_back(entry);
  return entry;
}

std::size_t DownloadService::registeredTaskCount() const {
  std::lock_guard lock(mutex_);
  return downloadTasks.size();
}

std::shared_ptr<GenericDownloadTask> DownloadService::find(
    const Foundation::URLSessionTask* task) const {
  std::lock_guard lock(mutex_);
  const auto it = std::find_if(downloadTasks.begin(), downloadTasks.end(),
                               [task](const auto& entry) { return entry->task().get() == task; });
  return it == downloadTasks.end() ? nullptr : *it;
}

std::shared_ptr<GenericDownloadTask> DownloadService::take(const Foundation::URLSessionTask* task) {
  std::lock_guard lock(mutex_);
  const auto it = std::find_if(downloadTasks.begin(), downloadTasks.end(),
                               [task](const auto& entry) { return entry->task().get() == task; });
  if (it == downloadTasks.end()) return nullptr;
  auto entry = *it;
  downloadTasks.erase(it);
  return entry;
}

bool DownloadService::didReceiveResponse(const Foundation::URLSessionTask* task,
                                         const std::shared_ptr<Foundation::URLResponse>& response) {
  auto entry = find(task);
  if (!entry) return false;
  entry->expectedContentLength = response->expectedContentLength();
  if (auto http = std::dynamic_pointer_cast<Foundation::HTTPURLResponse>(response)) {
    std::lock_guard lock(entry->mutex_);
    entry->statusCode_ = http->statusCode();
  }
  return true;
}

void DownloadService::didReceiveData(const Foundation::URLSessionTask* task,
                                     const Foundation::Data& data) {
  auto entry = find(task);
  if (!entry) return;
  entry->buffer.insert(entry->buffer.end(), data.begin(), data.end());

  Foundation::Result<double, Error> progress =
      Foundation::failure(Error(DownloadingErrors::expectedLenghtIsUnknown()));
  if (entry->expectedContentLength >= 0) {
    // More bytes than announced (or an announced 0) must not push the fraction past 1.
    const double fraction = entry->expectedContentLength == 0
                                ? 1.0
                                : static_cast<double>(entry->buffer.size()) /
                                      static_cast<double>(entry->expectedContentLength);
    progress = Foundation::success(std::clamp(fraction, 0.0, 1.0));
  }
  Dispatch::DispatchQueue::main().async([entry = std::move(entry), progress = std::move(progress)] {
    if (auto handler = entry->progressHandler()) handler(progress);
  });
}

void DownloadService::didCompleteWithError(const Foundation::URLSessionTask* task,
                                           const std::optional<Foundation::NSError>& error) {
  auto entry = take(task);
  if (!entry) return;
  Foundation::Result<Foundation::Data, Error> result =
      error ? Foundation::Result<Foundation::Data, Error>(Foundation::failure(Error(*error)))
            : Foundation::Result<Foundation::Data, Error>(
                  Foundation::success(std::move(entry->buffer)));
  Dispatch::DispatchQueue::main().async([entry = std::move(entry), result = std::move(result)] {
    if (auto handler = entry->completionHandler()) handler(result);
  });
}

}  // namespace ZentrelSDK
