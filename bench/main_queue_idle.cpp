// CPU the main thread spends per block posted to the main queue at 1 kHz while it waits in its
// run loop: right after a burst of small requests answered on the main queue, which teaches its
// poller to spin, against a main queue that has been quiet, whose poller sleeps. Medians of
// rounds taken in turn.
#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/NetworkEnvironment.hpp>
#include <Foundation/OperationQueue.hpp>
#include <Foundation/RunLoop.hpp>
#include <Foundation/URLSession.hpp>
#include <sandbox/Sandbox.hpp>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "LoadAverage.hpp"
#include "Median.hpp"
#include "SandboxRoutes.hpp"

namespace {

using namespace Foundation;

constexpr int kRounds = 7;
constexpr int kRequests = 200;
constexpr int kBlocks = 300;
const std::string kURL = "https://id.zentrel.com/test/echo/bench";

double threadCpuMicros() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

bool burst(const std::shared_ptr<URLSession>& session) {
  const URLRequest request(*URL::string(kURL));
  bool ok = true;
  for (int i = 0; i < kRequests && ok; ++i) {
    bool done = false;
    session
        ->dataTask(request,
                   [&](std::optional<Data>, std::shared_ptr<URLResponse> response,
                       std::optional<NSError> error) {
                     auto http = std::dynamic_pointer_cast<HTTPURLResponse>(response);
                     ok = !error && http && http->statusCode() == 200;
                     done = true;
                   })
        ->resume();
    ok = RunLoop::main().runUntil([&] { return done; }, 10) && ok;
  }
  return ok;
}

// Main-thread CPU per block, in µs, while another thread posts kBlocks blocks 1 ms apart.
double cpuPerPostedBlock() {
  auto served = std::make_shared<int>(0);  // shared with the blocks, which may outlive this call
  const double before = threadCpuMicros();
  std::thread poster([&] {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kBlocks; ++i) {
      std::this_thread::sleep_until(start + std::chrono::milliseconds(i));
      Dispatch::DispatchQueue::main().async([served] { ++*served; });
    }
  });
  RunLoop::main().runUntil([&] { return *served == kBlocks; }, 30);
  const double cpu = threadCpuMicros() - before;
  poster.join();
  return cpu / kBlocks;
}

}  // namespace

using benchstats::median;

int main() {
  const benchload::Report load;
  benchsandbox::RoutedSandbox sb;
  auto session = URLSession::make(URLSessionConfiguration::defaultConfiguration(), nullptr,
                                  OperationQueue::main());
  if (!burst(session)) {
    std::fprintf(stderr, "the sandbox did not answer\n");
    return 1;
  }

  std::vector<double> afterBurst, quiet;
  bool ok = true;
  for (int round = 0; round < kRounds; ++round) {
    benchstats::inTurn(
        round,
        [&] {
          ok = burst(session) && ok;
          afterBurst.push_back(cpuPerPostedBlock());
        },
        [&] {
          RunLoop::main().run(0.01);  // waits that time out: the poller sleeps
          quiet.push_back(cpuPerPostedBlock());
        });
  }
  const std::string burstLabel =
      "after " + std::to_string(kRequests) + " requests answered on the main queue";
  std::printf(
      "main-thread CPU per block posted to the main queue at 1 kHz while it waits in its\n"
      "run loop (medians of %d rounds of %d blocks, taken in turn)\n",
      kRounds, kBlocks);
  std::printf("%-50s %8.1f us/block\n", burstLabel.c_str(), median(afterBurst));
  std::printf("%-50s %8.1f us/block\n", "quiet main queue (its poller sleeps)", median(quiet));
  std::printf("after the burst / quiet: %.2fx%s\n", median(afterBurst) / median(quiet),
              ok ? "" : " (a request FAILED)");
  session->invalidateAndCancel();
  NetworkEnvironment::reset();
  return ok ? 0 : 1;
}
