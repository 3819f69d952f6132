#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <Foundation/Result.hpp>
#include <Foundation/URL.hpp>
#include <Foundation/URLRequest.hpp>
#include <Foundation/URLSession.hpp>
#include <Foundation/URLSessionTask.hpp>

#include "ZTNetworkCore/ZTNetworkErrors.hpp"
#include "ZTNetworkCore/ZTResponse.hpp"

namespace ZentrelSDK {

// A prepared upload: set the progress handler, then resume().
class ZTUploadTask {
 public:
  virtual ~ZTUploadTask() = default;

  // Receives the fraction of the body sent, within 0...1, on the main queue.
  virtual std::function<void(double)> progressHandler() const = 0;
  virtual void setProgressHandler(std::function<void(double)> handler) = 0;

  virtual void resume() = 0;
  virtual void suspend() = 0;
  virtual void cancel() = 0;
};

class ZTGenericUploadTask final : public ZTUploadTask {
 public:
  explicit ZTGenericUploadTask(std::shared_ptr<Foundation::URLSessionTask> task);
  ~ZTGenericUploadTask() override;

  std::function<void(double)> progressHandler() const override;
  void setProgressHandler(std::function<void(double)> handler) override;
  void resume() override { task_->resume(); }
  void suspend() override { task_->suspend(); }
  void cancel() override { task_->cancel(); }

  const std::shared_ptr<Foundation::URLSessionTask>& task() const { return task_; }

  // Not set by the kit: the answer travels through the completion.
  std::optional<ZTResponse> response;

 private:
  mutable std::mutex mutex_;
  std::function<void(double)> progressHandler_;
  const std::shared_ptr<Foundation::URLSessionTask> task_;
};

// Sends prepared upload requests on a session of its own and reports progress and the answer
// (any HTTP status, with the body) on the main queue. A task leaves the registry once its
// completion has been delivered. Safe to use from any thread.
class ZTUploadService : public std::enable_shared_from_this<ZTUploadService> {
 public:
  using Completion = std::function<void(Foundation::Result<ZTResponse, Error>)>;

  static const std::shared_ptr<ZTUploadService>& shared();

  // The request carries its body, as bytes or as a stream read while it is sent. The task is
  // registered and not yet started.
  std::shared_ptr<ZTUploadTask> upload(const Foundation::URLRequest& request,
                                       Completion completion);

  // Tasks created and not yet delivered.
  std::size_t registeredTaskCount() const;

  // The fraction reported for a body count: within 0...1, or none while the total to send is
  // not known (0 or less).
  static std::optional<double> progressFraction(std::int64_t totalBytesSent,
                                                std::int64_t totalBytesExpectedToSend);

  ZTUploadService(const ZTUploadService&) = delete;
  ZTUploadService& operator=(const ZTUploadService&) = delete;

 private:
  class SessionDelegate;
  // The task a completion handler belongs to, known once the session has made it.
  using TaskSlot = std::atomic<const Foundation::URLSessionTask*>;
  ZTUploadService() = default;

  Foundation::URLSessionTask::CompletionHandler completionHandler(Completion completion,
                                                                  std::shared_ptr<TaskSlot> slot);
  std::shared_ptr<ZTUploadTask> add(std::shared_ptr<Foundation::URLSessionTask> task);
  std::shared_ptr<ZTGenericUploadTask> find(const Foundation::URLSessionTask* task) const;
  void remove(const Foundation::URLSessionTask* task);
  void didSendBodyData(const Foundation::URLSessionTask* task, std::int64_t totalBytesSent,
                       std::int64_t totalBytesExpectedToSend);

  std::shared_ptr<Foundation::URLSession> session;
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<ZTGenericUploadTask>> uploadTasks;
};

}  // namespace ZentrelSDK
