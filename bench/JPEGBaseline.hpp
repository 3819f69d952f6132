#pragma once

#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

#include <Foundation/Data.hpp>

// What the JPEG benches measure against: TurboJPEG alone, and a steady median time.
namespace benchjpeg {

// Decodes to RGBA and encodes again at `quality` (1...100), 4:2:0; the encoded size, 0 when
// either step fails.
inline std::size_t throughTurboJPEG(const Foundation::Data& bytes, int width, int height,
                                    int quality) {
  tjhandle decoder = tjInitDecompress();
  tjhandle encoder = tjInitCompress();
  std::vector<unsigned char> rgba(static_cast<std::size_t>(width) * height * 4);
  std::size_t size = 0;
  if (tjDecompress2(decoder, bytes.data(), bytes.size(), rgba.data(), width, 0, height, TJPF_RGBA,
                    0) == 0) {
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    if (tjCompress2(encoder, rgba.data(), width, 0, height, TJPF_RGBA, &out, &outSize, TJSAMP_420,
                    quality, 0) == 0)
      size = outSize;
    tjFree(out);
  }
  tjDestroy(decoder);
  tjDestroy(encoder);
  return size;
}

// Median of `runs` passes, in milliseconds.
template <class F>
double medianMs(F&& pass, int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(pass());
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace benchjpeg
