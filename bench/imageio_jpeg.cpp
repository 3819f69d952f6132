// A 12 MP camera frame through ImageIO (source, properties, decode, re-encode with the
// properties) against TurboJPEG's own decode and encode of the same bytes at the same quality.
// Prints both times, their ratio (goal: at most 1.1) and the growth of the peak resident memory
// of one ImageIO pass in RGBA frames (goal: at most 2).
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <ImageIO/CGImageDestination.hpp>
#include <ImageIO/CGImageSource.hpp>
#include <ImageIO/UTType.hpp>

#include "JPEGBaseline.hpp"
#include "LoadAverage.hpp"
#include "PeakMemory.hpp"

namespace {

using benchmem::resetPeak;
using benchmem::statusValue;

constexpr int kWidth = 4032;
constexpr int kHeight = 3024;
constexpr double kQuality = 0.9;
constexpr int kTJQuality = 90;
constexpr double kFrameBytes = 4.0 * kWidth * kHeight;

// A camera-like frame: smooth shading with a little grain, EXIF orientation 6.
const Foundation::Data& frame() {
  static const Foundation::Data bytes = [] {
    auto pixels = std::make_shared<CoreGraphics::CGImage::Pixels>(kFrameBytes);
    std::uint32_t seed = 12345;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        seed = seed * 1664525u + 1013904223u;
        const int grain = static_cast<int>(seed >> 28) - 8;
        auto* p = pixels->data() + (static_cast<std::size_t>(y) * kWidth + x) * 4;
        p[0] = static_cast<std::uint8_t>(std::clamp(x * 255 / kWidth + grain, 0, 255));
        p[1] = static_cast<std::uint8_t>(std::clamp(y * 255 / kHeight + grain, 0, 255));
        p[2] = static_cast<std::uint8_t>(std::clamp((x + y) * 127 / kWidth + grain, 0, 255));
        p[3] = 255;
      }
    }
    auto destination = ImageIO::CGImageDestination::createWithData(ImageIO::kUTTypeJPEG, 1);
    ImageIO::ImageProperties properties;
    properties.orientation = 6;
    properties.lossyCompressionQuality = kQuality;
    destination->addImage(std::make_shared<CoreGraphics::CGImage>(kWidth, kHeight, pixels),
                          properties);
    (void)destination->finalize();
    return destination->data();
  }();
  return bytes;
}

std::size_t throughImageIO(const Foundation::Data& bytes) {
  auto source = ImageIO::CGImageSource::createWithData(bytes);
  auto properties = source->copyProperties(0);
  auto image = source->createImage(0);
  if (!properties || !image) return 0;
  auto written = properties.value();
  written.lossyCompressionQuality = kQuality;
  auto destination = ImageIO::CGImageDestination::createWithData(ImageIO::kUTTypeJPEG, 1);
  destination->addImage(std::move(image).value(), written);
  if (!destination->finalize()) return 0;
  return destination->data().size();
}

std::size_t throughTurboJPEG(const Foundation::Data& bytes) {
  return benchjpeg::throughTurboJPEG(bytes, kWidth, kHeight, kTJQuality);
}

void ImageIOPass(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(throughImageIO(frame()));
}
void TurboJPEGPass(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(throughTurboJPEG(frame()));
}
BENCHMARK(ImageIOPass)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(TurboJPEGPass)->Unit(benchmark::kMillisecond)->UseRealTime();

// Median of `runs` passes, in milliseconds.
using benchjpeg::medianMs;

}  // namespace

int main(int argc, char** argv) {
  const benchload::Report load;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  const auto& bytes = frame();
  const double imageio = medianMs([&] { return throughImageIO(bytes); }, 9);
  const double raw = medianMs([&] { return throughTurboJPEG(bytes); }, 9);
  const bool peakReset = resetPeak();
  const long before = statusValue(peakReset ? "VmRSS" : "VmHWM");
  const std::size_t written = throughImageIO(bytes);
  const double growth = static_cast<double>(statusValue("VmHWM") - before) * 1024.0 / kFrameBytes;
  std::printf(
      "12 MP JPEG (%zu bytes, %zu rewritten): ImageIO %.1f ms, TurboJPEG %.1f ms, ratio %.3f "
      "(goal <= 1.1); peak memory growth %.2f RGBA frames (goal <= 2)%s\n",
      bytes.size(), written, imageio, raw, imageio / raw, growth,
      peakReset ? "" : " [peak could not be reset]");
  return 0;
}
