// Uploads files of 1, 10 and 100 MB through ZTNetworkCore::upload to the sandbox and reports
// the growth of the process's peak memory during each upload, and the throughput. The
// multipart body is streamed from the disk, so the growth should not follow the file size.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <Foundation/FileManager.hpp>
#include <Foundation/RunLoop.hpp>
#include <Foundation/UUID.hpp>
#include <sandbox/Sandbox.hpp>

#include "ZTNetworkCore/ZTNetworkCore.hpp"

#include "LoadAverage.hpp"
#include "PeakMemory.hpp"
#include "SandboxRoutes.hpp"

namespace {

using benchmem::resetPeak;
using benchmem::statusValue;

std::string makeFile(std::size_t megabytes) {
  const std::string path = Foundation::FileManager::defaultManager().temporaryDirectory().path() +
                           "/bench-" + Foundation::UUID().uuidString() + ".jpg";
  std::ofstream out(path, std::ios::binary);
  const std::string block = sandbox::testPattern(0, 1u << 20);
  for (std::size_t i = 0; i < megabytes; ++i) out << block;
  return path;
}

void Upload(benchmark::State& state) {
  const auto megabytes = static_cast<std::size_t>(state.range(0));
  const std::string path = makeFile(megabytes);
  const auto file = Foundation::URL::fileURLWithPath(path, false);
  long worstGrowth = 0;
  for (auto _ : state) {
    const bool peakReset = resetPeak();
    const long before = statusValue(peakReset ? "VmRSS" : "VmHWM");
    bool done = false;
    int status = 0;
    ZentrelSDK::ZTNetworkCore::upload(
        "https://id.zentrel.com/test/upload", {{"Authorization", "Bearer bench"}}, file,
        [&](Foundation::Result<ZentrelSDK::ZTResponse, ZentrelSDK::Error> result) {
          status = result.isSuccess() ? result.value().statusCode : -1;
          done = true;
        });
    Foundation::RunLoop::main().runUntil([&] { return done; }, 120.0);
    worstGrowth = std::max(worstGrowth, statusValue("VmHWM") - before);
    if (status != 200) {
      state.SkipWithError("upload failed");
      break;
    }
  }
  std::remove(path.c_str());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * megabytes) << 20);
  state.counters["peak_growth_MiB"] = static_cast<double>(worstGrowth) / 1024.0;
}

BENCHMARK(Upload)->Arg(1)->Arg(10)->Arg(100)->Iterations(3)->UseRealTime()->Unit(
    benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  const benchload::Report load;
  sandbox::Sandbox::Options options;
  options.maxUploadBytes = 256u << 20;
  benchsandbox::RoutedSandbox sandbox(options);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf(
      "\npeak_growth_MiB: growth of the peak resident memory during one upload; "
      "bytes_per_second: throughput.\n");
  return 0;
}
