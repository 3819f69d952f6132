// A 12 MP photo through the camera manager, from the call to the JPEG file (no shutter, no
// photo library), against TurboJPEG's own decode and encode of the same frame at the same
// quality. The simulated sensor encodes each frame itself; that time is measured apart and
// taken off. Prints the times, the ratio of the manager's own part to TurboJPEG (goal: at most
// 1.2) and the growth of the peak resident memory of one call in RGBA frames.
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <Foundation/RunLoop.hpp>
#include <ImageIO/CGImageDestination.hpp>
#include <ImageIO/CGImageSource.hpp>
#include <ImageIO/UTType.hpp>
#include <Testing/CaptureRig.hpp>
#include <UIKit/UIView.hpp>
#include <ZentrelSDK.hpp>

#include "JPEGBaseline.hpp"
#include "LoadAverage.hpp"
#include "PeakMemory.hpp"

namespace {

using ZentrelSDK::CaptureResult;
using ZentrelSDK::ZTCameraViewManager;

constexpr int kWidth = 4032;
constexpr int kHeight = 3024;
constexpr int kTJQuality = 75;  // ImageIO's quality when none is asked for, as the kit writes
constexpr double kFrameBytes = 4.0 * kWidth * kHeight;

struct Camera {
  std::shared_ptr<UIKit::UIView> view;
  std::shared_ptr<ZTCameraViewManager> manager;
};

Camera& camera() {
  static Camera rig = [] {
    PlatformTesting::CaptureRig::reset();
    PlatformTesting::CaptureRig::setCameraPermission(
        AVFoundation::AVAuthorizationStatus::authorized);
    Camera c{std::make_shared<UIKit::UIView>(UIKit::CGRect{{0, 0}, {375, 812}}),
             std::make_shared<ZTCameraViewManager>()};
    c.manager->setAnimateShutter(false);
    c.manager->setWriteFilesToPhoneLibrary(false);
    bool attached = false;
    c.manager->addLayerPreviewToView(c.view, ZentrelSDK::CameraOutputMode::stillImage,
                                     [&attached] { attached = true; });
    Foundation::RunLoop::main().runUntil([&] { return attached && c.manager->cameraIsReady(); },
                                         10);
    return c;
  }();
  return rig;
}

// Runs one capture and waits for its first completion off the main thread.
template <class Start>
std::optional<CaptureResult> await(Start&& start) {
  std::mutex mutex;
  std::condition_variable done;
  std::optional<CaptureResult> result;
  start([&](const CaptureResult& r) {
    std::lock_guard lock(mutex);
    if (!result) result = r;
    done.notify_all();
  });
  std::unique_lock lock(mutex);
  done.wait(lock, [&] { return result.has_value(); });
  return result;
}

bool callToFile() {
  auto result = await([](auto completion) {
    camera().manager->captureAndSavePictureWithCompletion("bench", completion);
  });
  return result && result->isSuccess();
}

std::optional<Foundation::Data> rigCapture() {
  auto result =
      await([](auto completion) { camera().manager->capturePhotoWithCompletion(completion); });
  return result ? result->imageData() : std::nullopt;
}

std::size_t throughTurboJPEG(const Foundation::Data& bytes) {
  return benchjpeg::throughTurboJPEG(bytes, kWidth, kHeight, kTJQuality);
}

// The re-encode the manager does, alone: properties, decode, encode with the properties.
std::size_t throughImageIO(const Foundation::Data& bytes) {
  auto source = ImageIO::CGImageSource::createWithData(bytes);
  auto properties = source->copyProperties(0);
  auto image = source->createImage(0);
  if (!properties || !image) return 0;
  auto destination = ImageIO::CGImageDestination::createWithData(ImageIO::kUTTypeJPEG, 1);
  destination->addImage(std::move(image).value(), properties.value());
  if (!destination->finalize()) return 0;
  return destination->data().size();
}

void CaptureToFile(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(callToFile());
}
void RigCapture(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(rigCapture());
}
BENCHMARK(CaptureToFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RigCapture)->Unit(benchmark::kMillisecond)->UseRealTime();

using benchjpeg::medianMs;

}  // namespace

int main(int argc, char** argv) {
  const benchload::Report load;
  camera();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  const auto frame = rigCapture();
  if (!frame) {
    std::printf("the simulated camera gave no photo\n");
    return 1;
  }
  const double total = medianMs(callToFile, 9);
  const double rig = medianMs(rigCapture, 9);
  const double raw = medianMs([&] { return throughTurboJPEG(*frame); }, 9);
  const double imageio = medianMs([&] { return throughImageIO(*frame); }, 9);
  const bool peakReset = benchmem::resetPeak();
  const long before = benchmem::statusValue(peakReset ? "VmRSS" : "VmHWM");
  (void)callToFile();
  const double growth =
      static_cast<double>(benchmem::statusValue("VmHWM") - before) * 1024.0 / kFrameBytes;
  std::printf(
      "12 MP photo (%zu bytes): call to file %.1f ms, of it the rig's capture and encode %.1f ms; "
      "the manager's own part %.1f ms against TurboJPEG decode + encode %.1f ms, ratio %.3f "
      "(goal <= 1.2); ImageIO's re-encode alone %.1f ms; peak memory growth %.2f RGBA frames%s\n",
      frame->size(), total, rig, total - rig, raw, (total - rig) / raw, imageio, growth,
      peakReset ? "" : " [peak could not be reset]");
  camera().manager.reset();
  return 0;
}
