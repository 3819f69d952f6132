// URL session against a bare libcurl handle: sequential small requests to the sandbox (rate and
// connections opened, medians of rounds taken in turn), and the memory a 100 MB file upload
// costs.
#include <Foundation/NetworkEnvironment.hpp>
#include <Foundation/URLSession.hpp>

#include <curl/curl.h>
#include <stdlib.h>
#include <unistd.h>
#include <sandbox/Sandbox.hpp>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "LoadAverage.hpp"
#include "Median.hpp"
#include "SandboxRoutes.hpp"

namespace {

using namespace Foundation;
using SteadyClock = std::chrono::steady_clock;

constexpr int kRequests = 1000;
constexpr int kRounds = 11;
constexpr std::size_t kUploadBytes = 100u << 20;
const std::string kURL = "https://id.zentrel.com/test/echo/bench";

// Peak resident memory of the process so far, in KiB.
long peakRSSKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// Runs one data task and waits for its completion handler.
bool fetch(const std::shared_ptr<URLSession>& session, const URLRequest& request,
           std::string* failure = nullptr) {
  std::mutex mutex;
  std::condition_variable cv;
  bool done = false;
  bool ok = false;
  auto handler = [&](std::optional<Data>, std::shared_ptr<URLResponse> response,
                     std::optional<NSError> error) {
    auto http = std::dynamic_pointer_cast<HTTPURLResponse>(response);
    std::lock_guard lock(mutex);
    ok = !error && http && http->statusCode() == 200;
    if (error && failure) *failure = error->localizedDescription();
    done = true;
    cv.notify_one();
  };
  session->dataTask(request, handler)->resume();
  std::unique_lock lock(mutex);
  cv.wait(lock, [&] { return done; });
  return ok;
}

bool upload(const std::shared_ptr<URLSession>& session, const URLRequest& request,
            const URL& file) {
  std::mutex mutex;
  std::condition_variable cv;
  bool done = false;
  bool ok = false;
  auto task = session->uploadTask(request, file, [&](auto, auto response, auto error) {
    auto http = std::dynamic_pointer_cast<HTTPURLResponse>(response);
    std::lock_guard lock(mutex);
    ok = !error && http && http->statusCode() == 200;
    done = true;
    cv.notify_one();
  });
  task->resume();
  std::unique_lock lock(mutex);
  cv.wait(lock, [&] { return done; });
  return ok;
}

std::size_t discard(char*, std::size_t size, std::size_t count, void*) {
  return size * count;
}

struct Run {
  double seconds = 0;
  long connections = 0;
  bool ok = true;
};

// One reused easy handle, as an app would keep it.
class BareHandle {
 public:
  explicit BareHandle(const sandbox::Sandbox& sb) : pem_(sb.caPem()) {
    for (const auto& r : sb.routes()) routes_ = curl_slist_append(routes_, r.c_str());
    curl_blob blob{const_cast<char*>(pem_.data()), pem_.size(), CURL_BLOB_COPY};
    curl_easy_setopt(easy_, CURLOPT_URL, kURL.c_str());
    curl_easy_setopt(easy_, CURLOPT_CONNECT_TO, routes_);
    curl_easy_setopt(easy_, CURLOPT_CAINFO_BLOB, &blob);
    curl_easy_setopt(easy_, CURLOPT_CAINFO, static_cast<char*>(nullptr));
    curl_easy_setopt(easy_, CURLOPT_CAPATH, static_cast<char*>(nullptr));
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, discard);
  }
  ~BareHandle() {
    curl_easy_cleanup(easy_);
    curl_slist_free_all(routes_);
  }
  BareHandle(const BareHandle&) = delete;
  BareHandle& operator=(const BareHandle&) = delete;

  Run run() {
    Run run;
    const auto start = SteadyClock::now();
    for (int i = 0; i < kRequests; ++i) {
      long status = 0;
      long connects = 0;
      if (curl_easy_perform(easy_) != CURLE_OK) run.ok = false;
      curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
      curl_easy_getinfo(easy_, CURLINFO_NUM_CONNECTS, &connects);
      run.ok = run.ok && status == 200;
      run.connections += connects;
    }
    run.seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
    return run;
  }

 private:
  std::string pem_;
  curl_slist* routes_ = nullptr;
  CURL* easy_ = curl_easy_init();
};

Run sessionRun(const std::shared_ptr<URLSession>& session, std::string& failure) {
  Run run;
  const URLRequest request(*URL::string(kURL));
  const std::uint64_t before = session->newConnectionCount();
  const auto start = SteadyClock::now();
  for (int i = 0; i < kRequests; ++i) run.ok = fetch(session, request, &failure) && run.ok;
  run.seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
  run.connections = static_cast<long>(session->newConnectionCount() - before);
  return run;
}

}  // namespace

using benchstats::median;

int main() {
  const benchload::Report load;
  benchsandbox::RoutedSandbox sb;

  // One request each first, so neither side pays for the first TLS handshake of the process.
  std::string failure;
  auto warmup = URLSession::make(URLSessionConfiguration::defaultConfiguration());
  if (!fetch(warmup, URLRequest(*URL::string(kURL)), &failure)) {
    std::fprintf(stderr, "the sandbox did not answer: %s\n", failure.c_str());
    return 1;
  }

  // Rounds taken in turn; the medians are compared.
  BareHandle handle(sb);
  auto session = URLSession::make(URLSessionConfiguration::defaultConfiguration());
  std::vector<double> bareRates, sessionRates, ratios;
  long bareConnections = 0, sessionConnections = 0;
  bool ok = true;
  for (int round = 0; round < kRounds; ++round) {
    Run bare, urlSession;
    benchstats::inTurn(
        round, [&] { bare = handle.run(); }, [&] { urlSession = sessionRun(session, failure); });
    ok = ok && bare.ok && urlSession.ok;
    bareConnections += bare.connections;
    sessionConnections += urlSession.connections;
    bareRates.push_back(kRequests / bare.seconds);
    sessionRates.push_back(kRequests / urlSession.seconds);
    ratios.push_back(bare.seconds / urlSession.seconds);
  }
  std::printf("%d rounds of %d sequential GET %s (small JSON answer), taken in turn\n", kRounds,
              kRequests, kURL.c_str());
  std::printf("%-22s %12s %14s %6s\n", "client", "requests/s", "connections", "ok");
  std::printf("%-22s %12.0f %14ld %6s\n", "bare libcurl handle", median(bareRates), bareConnections,
              ok ? "yes" : "no");
  std::printf("%-22s %12.0f %14ld %6s\n", "URLSession", median(sessionRates), sessionConnections,
              ok ? "yes" : "no");
  std::printf("URLSession / bare libcurl: %.2f (median of rounds; lowest %.2f, highest %.2f)\n",
              median(ratios), *std::min_element(ratios.begin(), ratios.end()),
              *std::max_element(ratios.begin(), ratios.end()));
  std::printf("\n");

  // 100 MB file upload: the body streams from the file, so memory stays flat.
  std::string folder = (std::filesystem::temp_directory_path() / "zt-bench-XXXXXX").string();
  if (::mkdtemp(folder.data()) == nullptr) return 1;
  const std::string path = folder + "/upload.bin";
  {
    std::ofstream out(path, std::ios::binary);
    std::string block = sandbox::testPattern(0, 1u << 20);
    for (std::size_t written = 0; written < kUploadBytes; written += block.size()) out << block;
  }
  URLRequest request(*URL::string("https://id.zentrel.com/test/upload"));
  request.httpMethod = "POST";
  request.setValue("application/octet-stream", "Content-Type");
  auto uploader = URLSession::make(URLSessionConfiguration::defaultConfiguration());
  const long before = peakRSSKiB();
  const auto start = SteadyClock::now();
  const bool uploaded = upload(uploader, request, URL::fileURLWithPath(path, false));
  const double seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
  const long after = peakRSSKiB();
  std::filesystem::remove_all(folder);
  std::printf("upload of a %zu MB file: %s in %.2f s (%.0f MB/s)\n", kUploadBytes >> 20,
              uploaded ? "ok" : "FAILED", seconds, (kUploadBytes >> 20) / seconds);
  std::printf("peak memory (VmHWM) before %.1f MB, after %.1f MB, growth %.1f MB\n",
              before / 1024.0, after / 1024.0, (after - before) / 1024.0);
  NetworkEnvironment::reset();
  return ok && uploaded ? 0 : 1;
}
