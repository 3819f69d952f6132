#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <AVFoundation/AVCaptureDevice.hpp>
#include <Foundation/FileManager.hpp>
#include <ImageIO/CGImageSource.hpp>
#include <Testing/CaptureRig.hpp>
#include <Testing/ManualClock.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIView.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManager.hpp"
#include "ZTUtilites/ZTConstants.hpp"
#include "support/TemporaryFolder.hpp"

namespace cameratest {

using PlatformTesting::CaptureRig;
using ZentrelSDK::CaptureResult;
using ZentrelSDK::ZTCameraViewManager;

// Every completion a capture gave, with the queue it came on; completions come on other
// threads, so it is read under its lock.
class Outcome {
 public:
  void add(const CaptureResult& result) {
    std::lock_guard lock(mutex_);
    results_.push_back(result);
    queues_.push_back(Dispatch::DispatchQueue::currentLabel());
    onMain_.push_back(Dispatch::DispatchQueue::main().isCurrent());
  }
  std::size_t count() const {
    std::lock_guard lock(mutex_);
    return results_.size();
  }
  CaptureResult at(std::size_t i) const {
    std::lock_guard lock(mutex_);
    return results_.at(i);
  }
  std::string queue(std::size_t i) const {
    std::lock_guard lock(mutex_);
    return queues_.at(i);
  }
  bool onMain(std::size_t i) const {
    std::lock_guard lock(mutex_);
    return onMain_.at(i);
  }

 private:
  mutable std::mutex mutex_;
  std::vector<CaptureResult> results_;
  std::vector<std::string> queues_;
  std::vector<bool> onMain_;
};

// The simulated camera granted and reset, the manual clock, a key window with a host view
// the size of the screen, and a manager.
class CameraTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(zttest::useOwnTemporaryDirectory()); }
  void SetUp() override {
    PlatformTesting::ManualClock::install();
    CaptureRig::reset();
    CaptureRig::setCameraPermission(AVFoundation::AVAuthorizationStatus::authorized);
    ui = std::make_unique<PlatformTesting::UI>();
    host = std::make_shared<UIKit::UIView>(UIKit::CGRect{{0, 0}, {375, 812}});
    ui->root()->view()->addSubview(host);
    manager = std::make_shared<ZTCameraViewManager>();
    removeCacheFolder();
  }
  void TearDown() override {
    manager.reset();
    // Let what the manager queued finish while the window is still there.
    for (int i = 0; i < 20; ++i) advance(0.5);
    host.reset();
    ui.reset();
    removeCacheFolder();
  }

  void advance(double seconds) { ui->advance(seconds); }
  // Serves the run loop until `done` holds, the manual clock following real time at `rate`,
  // so animations end while a capture's real work still gets its time.
  bool until(const std::function<bool()>& done, double rate = 1.0) {
    auto last = std::chrono::steady_clock::now();
    return ui->runUntil(
        [&] {
          if (done()) return true;
          const auto now = std::chrono::steady_clock::now();
          const double real = std::chrono::duration<double>(now - last).count();
          if (real >= 0.01) {
            advance(real * rate);
            last = now;
          }
          return done();
        },
        30);
  }
  // Attaches the preview and waits until the set-up is over and it shows in the host view.
  void attach(ZentrelSDK::CameraOutputMode mode = ZentrelSDK::CameraOutputMode::stillImage) {
    auto attached = std::make_shared<std::atomic<bool>>(false);
    manager->addLayerPreviewToView(host, mode, [attached] { *attached = true; });
    ASSERT_TRUE(until([&] { return *attached && previewShown(); }));
  }
  std::shared_ptr<AVFoundation::AVCaptureVideoPreviewLayer> preview() const {
    // The topmost: a resumed session puts its preview over the removed one's.
    const auto& layers = host->layer()->sublayers();
    for (auto it = layers.rbegin(); it != layers.rend(); ++it) {
      const auto& layer = *it;
      if (auto found = std::dynamic_pointer_cast<AVFoundation::AVCaptureVideoPreviewLayer>(layer)) {
        return found;
      }
    }
    return nullptr;
  }
  bool previewShown() const { return manager->cameraIsReady() && preview() != nullptr; }

  static ZTCameraViewManager::CaptureCompletion recorder(const std::shared_ptr<Outcome>& outcome) {
    return [outcome](const CaptureResult& result) { outcome->add(result); };
  }

  static std::shared_ptr<AVFoundation::AVCaptureDevice> backCamera() {
    return AVFoundation::AVCaptureDevice::defaultDevice(
        AVFoundation::AVCaptureDevice::DeviceType::builtInWideAngleCamera,
        AVFoundation::AVMediaType::video, AVFoundation::AVCaptureDevice::Position::back);
  }
  static std::string cacheFolder() {
    return Foundation::FileManager::defaultManager()
        .temporaryDirectory()
        .appendingPathComponent(std::string(ZentrelSDK::ZTConstants::DOCKS_CACHE_FOLDER))
        .path();
  }
  static void removeCacheFolder() {
    std::error_code ec;
    std::filesystem::remove_all(cacheFolder(), ec);
  }

  // Errors are shown to the user through a block that collects them.
  void collectMessages() {
    manager->setShowErrorsToUsers(true);
    manager->setShowErrorBlock([this](const std::string& title, const std::string& text) {
      messages.emplace_back(title, text);
    });
  }
  std::vector<std::string> titles() const {
    std::vector<std::string> shown;
    for (const auto& message : messages) shown.push_back(message.first);
    return shown;
  }

  std::vector<std::pair<std::string, std::string>> messages;
  std::unique_ptr<PlatformTesting::UI> ui;
  std::shared_ptr<UIKit::UIView> host;
  std::shared_ptr<ZTCameraViewManager> manager;
};

// The frame number a JPEG's generated pattern carries, if it reads.
inline std::optional<std::uint32_t> frameNumber(const Foundation::Data& jpeg) {
  auto image = ImageIO::CGImageSource::createWithData(jpeg)->createImage(0);
  if (!image) return std::nullopt;
  auto mark = CaptureRig::readPattern(*image.value());
  if (!mark) return std::nullopt;
  return mark->number;
}

inline bool failedWith(const CaptureResult& result, ZentrelSDK::CaptureError error) {
  const auto* failure = result.failureValue();
  const auto* kit = failure ? std::get_if<ZentrelSDK::CaptureError>(failure) : nullptr;
  return kit && *kit == error;
}

}  // namespace cameratest
