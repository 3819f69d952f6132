#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManager.hpp"

namespace ZentrelSDK {

// One photo capture, matched to its platform callback by the settings' identifier. The first
// outcome wins; later ones (a late or repeated callback, the time-out) are dropped.
struct ZTCameraViewManager::PhotoRequest {
  explicit PhotoRequest(std::int64_t id) : id(id) {}

  bool finish(CaptureResult outcome) {
    {
      std::lock_guard lock(mutex);
      if (result) return false;
      result = std::move(outcome);
    }
    done.notify_all();
    return true;
  }
  CaptureResult wait() {
    std::unique_lock lock(mutex);
    done.wait(lock, [this] { return result.has_value(); });
    return *result;
  }

  const std::int64_t id;
  std::mutex mutex;
  std::condition_variable done;
  std::optional<CaptureResult> result;
};

// Stands for the manager where the platform holds a delegate, so a capture or recording that
// never ends keeps no manager alive. Only the callbacks the manager answers are forwarded.
class ZTCameraViewManager::CallbackForwarder
    : public AVFoundation::AVCapturePhotoCaptureDelegate,
      public AVFoundation::AVCaptureFileOutputRecordingDelegate {
 public:
  explicit CallbackForwarder(std::weak_ptr<ZTCameraViewManager> manager)
      : manager_(std::move(manager)) {}

  void photoOutput(AVFoundation::AVCapturePhotoOutput& output,
                   const AVFoundation::AVCapturePhoto& photo,
                   const std::optional<Foundation::NSError>& error) override {
    if (auto manager = manager_.lock()) manager->photoOutput(output, photo, error);
  }
  void fileOutput(
      AVFoundation::AVCaptureFileOutput& output, const Foundation::URL& outputFileURL,
      const std::vector<std::shared_ptr<AVFoundation::AVCaptureConnection>>& connections,
      const std::optional<Foundation::NSError>& error) override {
    if (auto manager = manager_.lock())
      manager->fileOutput(output, outputFileURL, connections, error);
  }

 private:
  std::weak_ptr<ZTCameraViewManager> manager_;
};

// The user-message texts, looked up in the host's main bundle.
std::string localized(const char* text);

}  // namespace ZentrelSDK
