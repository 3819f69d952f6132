// URL session against a bare libcurl handle: sequential small requests to the sandbox (rate and
// connections opened), and the memory a 100 MB file upload costs.
#include <Foundation/NetworkEnvironment.hpp>
#include <Foundation/URLSession.hpp>

#include <curl/curl.h>
#include <stdlib.h>
#include <unistd.h>
#include <sandbox/Sandbox.hpp>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>

#include "LoadAverage.hpp"

namespace {

using namespace Foundation;
using SteadyClock = std::chrono::steady_clock;

constexpr int kRequests = 200;
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

Run bareCurl(const sandbox::Sandbox& sb) {
  Run run;
  curl_slist* routes = nullptr;
  for (const auto& r : sb.routes()) routes = curl_slist_append(routes, r.c_str());
  const std::string& pem = sb.caPem();
  curl_blob blob{const_cast<char*>(pem.data()), pem.size(), CURL_BLOB_COPY};
  CURL* easy = curl_easy_init();
  curl_easy_setopt(easy, CURLOPT_URL, kURL.c_str());
  curl_easy_setopt(easy, CURLOPT_CONNECT_TO, routes);
  curl_easy_setopt(easy, CURLOPT_CAINFO_BLOB, &blob);
  curl_easy_setopt(easy, CURLOPT_CAINFO, static_cast<char*>(nullptr));
  curl_easy_setopt(easy, CURLOPT_CAPATH, static_cast<char*>(nullptr));
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, discard);
  const auto start = SteadyClock::now();
  for (int i = 0; i < kRequests; ++i) {
    long status = 0;
    long connects = 0;
    if (curl_easy_perform(easy) != CURLE_OK) run.ok = false;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(easy, CURLINFO_NUM_CONNECTS, &connects);
    run.ok = run.ok && status == 200;
    run.connections += connects;
  }
  run.seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
  curl_easy_cleanup(easy);
  curl_slist_free_all(routes);
  return run;
}

Run session(std::string& failure) {
  Run run;
  auto session = URLSession::make(URLSessionConfiguration::defaultConfiguration());
  const URLRequest request(*URL::string(kURL));
  const auto start = SteadyClock::now();
  for (int i = 0; i < kRequests; ++i) run.ok = fetch(session, request, &failure) && run.ok;
  run.seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
  run.connections = static_cast<long>(session->newConnectionCount());
  return run;
}

}  // namespace

int main() {
  const benchload::Report load;
  sandbox::Sandbox sb;
  for (const auto& route : sb.routes()) NetworkEnvironment::addRoute(route);
  NetworkEnvironment::setAnchorCertificates(sb.caPem());

  // One request each first, so neither side pays for the first TLS handshake of the process.
  std::string failure;
  auto warmup = URLSession::make(URLSessionConfiguration::defaultConfiguration());
  if (!fetch(warmup, URLRequest(*URL::string(kURL)), &failure)) {
    std::fprintf(stderr, "the sandbox did not answer: %s\n", failure.c_str());
    return 1;
  }

  const Run bare = bareCurl(sb);
  const Run urlSession = session(failure);
  std::printf("%d sequential GET %s (small JSON answer)\n", kRequests, kURL.c_str());
  std::printf("%-22s %12s %14s %6s\n", "client", "requests/s", "connections", "ok");
  std::printf("%-22s %12.0f %14ld %6s\n", "bare libcurl handle", kRequests / bare.seconds,
              bare.connections, bare.ok ? "yes" : "no");
  std::printf("%-22s %12.0f %14ld %6s\n", "URLSession", kRequests / urlSession.seconds,
              urlSession.connections, urlSession.ok ? "yes" : "no");
  std::printf("URLSession / bare libcurl: %.2f\n", bare.seconds / urlSession.seconds);
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
  return bare.ok && urlSession.ok && uploaded ? 0 : 1;
}
