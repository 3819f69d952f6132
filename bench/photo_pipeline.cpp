// One document side per route from a 12 MP camera JPEG (EXIF 6) to the stored file, driven as a
// user drives it: library (decode, pick, make upright, cut on Done, store) and camera (the
// capture screen's photo decoded, cut to the capture frame, turned a quarter, stored). Against
// TurboJPEG's own decode and encode of the same file at the store's quality, in interleaved
// rounds. Prints each route's median time ratio (goal: at most 1.2) and the growth of the peak
// resident memory in decoded RGBA frames (goal: at most 2.5).
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <ImageIO/CGImageDestination.hpp>
#include <ImageIO/ImageProperties.hpp>
#include <ImageIO/UTType.hpp>
#include <Testing/CaptureRig.hpp>
#include <Testing/ManualClock.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIButton.hpp>
#include <UIKit/UIImage.hpp>

#include "JPEGBaseline.hpp"
#include "LoadAverage.hpp"
#include "Median.hpp"
#include "PeakMemory.hpp"
#include "ZTCustomCameraView/ZTPhotoProcessor.hpp"
#include "ZTEvents.hpp"

namespace {

constexpr int kWidth = 4032;
constexpr int kHeight = 3024;
constexpr double kFrameBytes = 4.0 * kWidth * kHeight;

// A noisy camera frame, stored landscape with EXIF orientation 6.
Foundation::Data frame() {
  auto pixels = std::make_shared<CoreGraphics::CGImage::Pixels>(kFrameBytes);
  std::uint32_t seed = 2024;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int grain = static_cast<int>(seed >> 26) - 32;
      auto* p = pixels->data() + (static_cast<std::size_t>(y) * kWidth + x) * 4;
      p[0] = static_cast<std::uint8_t>(std::clamp(x * 255 / kWidth + grain, 0, 255));
      p[1] = static_cast<std::uint8_t>(std::clamp(y * 255 / kHeight + grain, 0, 255));
      p[2] = static_cast<std::uint8_t>(std::clamp(128 + grain, 0, 255));
      p[3] = 255;
    }
  auto destination = ImageIO::CGImageDestination::createWithData(ImageIO::kUTTypeJPEG, 1);
  ImageIO::ImageProperties properties;
  properties.orientation = 6;
  properties.lossyCompressionQuality = 0.9;
  destination->addImage(std::make_shared<CoreGraphics::CGImage>(kWidth, kHeight, pixels),
                        properties);
  (void)destination->finalize();
  return destination->data();
}

struct Routes {
  PlatformTesting::ManualClock& clock = PlatformTesting::ManualClock::install();
  PlatformTesting::UI ui;
  std::vector<std::optional<Foundation::URL>> stored;

  Routes() {
    PlatformTesting::CaptureRig::reset();
    ZentrelSDK::ZTEvents::shared()->mediaCreatedEventListen(
        this, [this](std::shared_ptr<ZentrelSDK::ZTCameraData> media) {
          stored.push_back(media ? media->getURL() : std::nullopt);
        });
  }
  ~Routes() { ZentrelSDK::ZTEvents::shared()->unregiterEvents(this); }

  void tap(const char* name) {
    ui.tap(ui.find<UIKit::UIButton>(name));
    clock.advance(1);
  }
  std::size_t lastSize() {
    if (stored.empty() || !stored.back()) return 0;
    std::error_code ec;
    const auto size = std::filesystem::file_size(stored.back()->path(), ec);
    std::filesystem::remove(stored.back()->path(), ec);
    return ec ? 0 : size;
  }

  std::size_t library(const Foundation::Data& bytes) {
    auto image = UIKit::UIImage::withData(bytes);
    ZentrelSDK::ZTPhotoProcessor::shared()->openImagePicker();
    clock.advance(1);
    ui.pick(image);
    image.reset();  // the shell holds it until it goes
    clock.advance(1);
    tap("doneButton");
    return lastSize();
  }

  std::size_t camera(const Foundation::Data& bytes) {
    ZentrelSDK::ZTPhotoProcessor::shared()->openCamera();
    clock.advance(1);
    tap("cancelButton");  // the capture screen closes before it announces its photo
    ZentrelSDK::ZTEvents::shared()->imagePickedForPreviewEmit(
        UIKit::UIImage::withData(bytes),
        ZentrelSDK::ZTCropModel{CoreGraphics::CGRect::make(20, 2, 335, 596),
                                CoreGraphics::CGRect::make(0, 0, 375, 600)});
    clock.advance(1);
    tap("turnToRightButton");
    tap("addButton");
    return lastSize();
  }
};

double peakGrowth(const std::function<std::size_t()>& pass) {
  const bool reset = benchmem::resetPeak();
  const long before = benchmem::statusValue(reset ? "VmRSS" : "VmHWM");
  pass();
  return static_cast<double>(benchmem::statusValue("VmHWM") - before) * 1024.0 / kFrameBytes;
}

double timeMs(const std::function<std::size_t()>& pass) {
  const auto start = std::chrono::steady_clock::now();
  benchmark::DoNotOptimize(pass());
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

using benchstats::median;

int main() {
  const benchload::Report load;
  const auto folder = std::filesystem::temp_directory_path() / "zt-photo-pipeline";
  std::filesystem::create_directories(folder);
  ::setenv("TMPDIR", folder.c_str(), 1);
  const auto bytes = frame();
  Routes routes;
  const int quality = static_cast<int>(std::lround(ImageIO::kDefaultLossyCompressionQuality * 100));
  const std::function<std::size_t()> raw = [&] {
    return benchjpeg::throughTurboJPEG(bytes, kWidth, kHeight, quality);
  };
  const struct {
    const char* name;
    std::function<std::size_t()> pass;
  } rows[] = {{"library", [&] { return routes.library(bytes); }},
              {"camera", [&] { return routes.camera(bytes); }}};
  constexpr std::size_t kRoutes = std::size(rows);
  double growth[kRoutes];
  for (std::size_t i = 0; i < kRoutes; ++i) growth[i] = peakGrowth(rows[i].pass);
  // Interleaved rounds: a change in the machine's load touches the baseline and the routes alike.
  constexpr int kRounds = 9;
  std::vector<double> rawTimes;
  std::vector<double> times[kRoutes];
  for (int round = 0; round < kRounds; ++round) {
    rawTimes.push_back(timeMs(raw));
    for (std::size_t i = 0; i < kRoutes; ++i) times[i].push_back(timeMs(rows[i].pass));
  }
  const double rawMs = median(rawTimes);
  std::printf("12 MP JPEG with EXIF 6 (%zu bytes); TurboJPEG decode + encode %.1f ms\n",
              bytes.size(), rawMs);
  for (std::size_t i = 0; i < kRoutes; ++i) {
    const double ms = median(times[i]);
    std::printf(
        "  %-8s route %.1f ms, ratio %.3f (goal <= 1.2); peak growth %.2f frames "
        "(goal <= 2.5)\n",
        rows[i].name, ms, ms / rawMs, growth[i]);
  }
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  return 0;
}
