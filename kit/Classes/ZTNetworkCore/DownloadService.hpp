#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <Foundation/Data.hpp>
#include <Foundation/Result.hpp>
#include <Foundation/URLRequest.hpp>
#include <Foundation/URLSession.hpp>
#include <Foundation/URLSessionTask.hpp>

#include "ZTNetworkCore/ZTNetworkErrors.hpp"

namespace ZentrelSDK {

// Failure of a progress report.
struct DownloadingErrors {
  enum class Case { expectedLenghtIsUnknown };
  Case kind = Case::expectedLenghtIsUnknown;

  static DownloadingErrors expectedLenghtIsUnknown() { return DownloadingErrors{}; }
  // "the content length can’t be determined"
  std::string localizedDescription() const;
  bool operator==(const DownloadingErrors&) const = default;
};

// A prepared download: set the handlers, then resume().
class DownloadTask {
 public:
  using CompletionHandler = std::function<void(Foundation::Result<Foundation::Data, Error>)>;
  using ProgressHandler = std::function<void(Foundation::Result<double, Error>)>;

  virtual ~DownloadTask() = default;

  // Called once on the main queue with the whole body, or the transport's failure.
  virtual CompletionHandler completionHandler() const = 0;
  virtual void setCompletionHandler(CompletionHandler handler) = 0;
  // Called on the main queue after each piece: the fraction received within 0...1, or
  // expectedLenghtIsUnknown while the answer announced no length.
  virtual ProgressHandler progressHandler() const = 0;
  virtual void setProgressHandler(ProgressHandler handler) = 0;
  // The HTTP status of the answer, once it has arrived.
  virtual std::optional<int> statusCode() const = 0;

  virtual void resume() = 0;
  virtual void suspend() = 0;
  virtual void cancel() = 0;
};

class GenericDownloadTask final : public DownloadTask {
 public:
  explicit GenericDownloadTask(std::shared_ptr<Foundation::URLSessionDataTask> task);
  ~GenericDownloadTask() override;

  CompletionHandler completionHandler() const override;
  void setCompletionHandler(CompletionHandler handler) override;
  ProgressHandler progressHandler() const override;
  void setProgressHandler(ProgressHandler handler) override;
  std::optional<int> statusCode() const override;

  void resume() override { task_->resume(); }
  void suspend() override { task_->suspend(); }
  void cancel() override { task_->cancel(); }

  const std::shared_ptr<Foundation::URLSessionDataTask>& task() const { return task_; }

 private:
  friend class DownloadService;

  mutable std::mutex mutex_;
  CompletionHandler completionHandler_;
  ProgressHandler progressHandler_;
  std::optional<int> statusCode_;
  const std::shared_ptr<Foundation::URLSessionDataTask> task_;
  // Written only on the session's delegate queue.
  std::int64_t expectedContentLength = 0;
  Foundation::Data buffer;
};

// Fetches prepared requests on a session of its own, gathering each body in memory, and reports
// progress and the end on the main queue. Safe to use from any thread.
class DownloadService : public std::enable_shared_from_this<DownloadService> {
 public:
  static const std::shared_ptr<DownloadService>& shared();

  // The task is registered and not yet started.
  std::shared_ptr<DownloadTask> download(const Foundation::URLRequest& request);

  // Tasks created and not yet ended.
  std::size_t registeredTaskCount() const;

  DownloadService(const DownloadService&) = delete;
  DownloadService& operator=(const DownloadService&) = delete;

 private:
  class SessionDelegate;
  DownloadService() = default;

  std::shared_ptr<GenericDownloadTask> find(const Foundation::URLSessionTask* task) const;
  std::shared_ptr<GenericDownloadTask> take(const Foundation::URLSessionTask* task);
  bool didReceiveResponse(const Foundation::URLSessionTask* task,
                          const std::shared_ptr<Foundation::URLResponse>& response);
  void didReceiveData(const Foundation::URLSessionTask* task, const Foundation::Data& data);
  void didCompleteWithError(const Foundation::URLSessionTask* task,
                            const std::optional<Foundation::NSError>& error);

  std::shared_ptr<Foundation::URLSession> session;
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<GenericDownloadTask>> downloadTasks;
};

}  // namespace ZentrelSDK
