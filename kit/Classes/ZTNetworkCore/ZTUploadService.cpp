#include "ZTNetworkCore/ZTUploadService.hpp"

#include <algorithm>

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/HTTPURLResponse.hpp>
#include <Foundation/URLSessionConfiguration.hpp>
#include <Foundation/URLSessionDelegate.hpp>

#include "ZTLogger.hpp"
#include "ZTNetworkCore/ZTNetworkTrace.hpp"

namespace ZentrelSDK {

// The session's delegate; it refers to the service weakly so the two do not keep each other.
class ZTUploadService::SessionDelegate final : public Foundation::URLSessionTaskDelegate {
 public:
  explicit SessionDelegate(std::weak_ptr<ZTUploadService> service) : service_(std::move(service)) {}

  void didSendBodyData(const std::shared_ptr<Foundation::URLSession>& /*session*/,
                       const std::shared_ptr<Foundation::URLSessionTask>& task,
                       std::int64_t /*bytesSent*/, std::int64_t totalBytesSent,
                       std::int64_t totalBytesExpectedToSend) override {
    if (auto service = service_.lock()) {
      service->didSendBodyData(task.get(), totalBytesSent, totalBytesExpectedToSend);
    }
  }

 private:
  std::weak_ptr<ZTUploadService> service_;
};

ZTGenericUploadTask::ZTGenericUploadTask(std::shared_ptr<Foundation::URLSessionTask> task)
    : task_(std::move(task)) {}

ZTGenericUploadTask::~ZTGenericUploadTask() {
  const auto& url = task_->originalRequest().url;
  ZTLogger::networkLog(ZTNetworkTrace::deinit(url ? url->absoluteString() : std::string()),
                       __FILE__, "deinit", __LINE__, 0);
}

std::function<void(double)> ZTGenericUploadTask::progressHandler() const {
  std::lock_guard lock(mutex_);
  return progressHandler_;
}

void ZTGenericUploadTask::setProgressHandler(std::function<void(double)> handler) {
  std::lock_guard lock(mutex_);
  progressHandler_.swap(handler);  // the old one goes after the lock
}

const std::shared_ptr<ZTUploadService>& ZTUploadService::shared() {
  static const std::shared_ptr<ZTUploadService> instance = [] {
    std::shared_ptr<ZTUploadService> service(new ZTUploadService());
    service->session =
        Foundation::URLSession::make(Foundation::URLSessionConfiguration::defaultConfiguration(),
                                     std::make_shared<SessionDelegate>(service));
    return service;
  }();
  return instance;
}

std::shared_ptr<ZTUploadTask> ZTUploadService::upload(const Foundation::URLRequest& request,
                                                      Completion completion) {
  auto slot = std::make_shared<TaskSlot>(nullptr);
  auto task = session->dataTask(request, completionHandler(std::move(completion), slot));
  slot->store(task.get());
  return add(std::move(task));
}

std::size_t ZTUploadService::registeredTaskCount() const {
  std::lock_guard lock(mutex_);
  return uploadTasks.size();
}

Foundation::URLSessionTask::CompletionHandler ZTUploadService::completionHandler(
    Completion completion, std::shared_ptr<TaskSlot> slot) {
  std::weak_ptr<ZTUploadService> weakService = weak_from_this();
  return
      [weakService, slot = std::move(slot), completion = std::move(completion)](
          std::optional<Foundation::Data> data, std::shared_ptr<Foundation::URLResponse> response,
          std::optional<Foundation::NSError> error) {
        Foundation::Result<ZTResponse, Error> result =
            Foundation::failure(Error(ZTNetworkError::responseIsNil()));
        if (error) {
          result = Foundation::failure(Error(*error));
        } else if (auto http = std::dynamic_pointer_cast<Foundation::HTTPURLResponse>(response)) {
          result = Foundation::success(ZTResponse{http->statusCode(), std::move(data)});
        }
        Dispatch::DispatchQueue::main().async(
            [weakService, slot, completion, result = std::move(result)]() mutable {
              if (completion) completion(std::move(result));
              // Delivered: nothing looks the task up any more.
              if (auto service = weakService.lock()) service->remove(slot->load());
            });
      };
}

std::shared_ptr<ZTUploadTask> ZTUploadService::add(
    std::shared_ptr<Foundation::URLSessionTask> task) {
  auto entry = std::make_shared<ZTGenericUploadTask>(std::move(task));
  std::lock_guard lock(mutex_);
  uploadTasks.push_back(entry);
  return entry;
}

std::shared_ptr<ZTGenericUploadTask> ZTUploadService::find(
    const Foundation::URLSessionTask* task) const {
  std::lock_guard lock(mutex_);
  const auto it = std::find_if(uploadTasks.begin(), uploadTasks.end(),
                               [task](const auto& entry) { return entry->task().get() == task; });
  return it == uploadTasks.end() ? nullptr : *it;
}

void ZTUploadService::remove(const Foundation::URLSessionTask* task) {
  std::shared_ptr<ZTGenericUploadTask> removed;  // goes after the lock: it holds the host's handler
  std::lock_guard lock(mutex_);
  const auto it = std::find_if(uploadTasks.begin(), uploadTasks.end(),
                               [task](const auto& entry) { return entry->task().get() == task; });
  if (it == uploadTasks.end()) return;
  removed = std::move(*it);
  uploadTasks.erase(it);
}

std::optional<double> ZTUploadService::progressFraction(std::int64_t totalBytesSent,
                                                        std::int64_t totalBytesExpectedToSend) {
  // Without a known total there is no fraction to tell.
  if (totalBytesExpectedToSend <= 0) return std::nullopt;
  return std::clamp(
      static_cast<double>(totalBytesSent) / static_cast<double>(totalBytesExpectedToSend), 0.0,
      1.0);
}

void ZTUploadService::didSendBodyData(const Foundation::URLSessionTask* task,
                                      std::int64_t totalBytesSent,
                                      std::int64_t totalBytesExpectedToSend) {
  auto entry = find(task);
  const auto fraction = progressFraction(totalBytesSent, totalBytesExpectedToSend);
  if (!entry || !fraction) return;
  Dispatch::DispatchQueue::main().async([entry = std::move(entry), fraction = *fraction] {
    if (auto handler = entry->progressHandler()) handler(fraction);
  });
}

}  // namespace ZentrelSDK
