// Rate of one small GET decoded into a record: through ZTRequestManager (shared session, main
// queue delivery, strict judging) against a bare reused libcurl handle, both on the sandbox.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/JSONCoding.hpp>
#include <Foundation/RunLoop.hpp>
#include <sandbox/Sandbox.hpp>

#include "ZTAPI/ZTRequestManager.hpp"

#include "LoadAverage.hpp"
#include "SandboxRoutes.hpp"

namespace {

struct Document {
  static constexpr const char* swiftTypeName = "Document";
  std::string id;
  std::int64_t createdAt = 0;
  std::string documentType;

  static Foundation::Result<Document, Foundation::DecodingError> decode(const nlohmann::json& j) {
    Foundation::KeyedDecodingContainer c(j);
    Document d;
    c.decode("id", d.id);
    c.decode("createdAt", d.createdAt);
    c.decode("documentType", d.documentType);
    return c.finish(std::move(d));
  }
};

// {"id":"d-1","created_at":1700000000,"document_type":"Passport"}
const std::string kURL =
    "https://id.zentrel.com/test/status/200?type=application/json&body="
    "%7B%22id%22:%22d-1%22,%22created_at%22:1700000000,%22document_type%22:%22Passport%22%7D";

sandbox::Sandbox* server = nullptr;

void ThroughRequestManager(benchmark::State& state) {
  const auto& manager = ZentrelSDK::ZTRequestManager::shared();
  for (auto _ : state) {
    bool done = false;
    bool ok = false;
    manager->runExpectingSuccessAnswer<Document>(
        std::string("token"), "", kURL, ZentrelSDK::ZTHTTPMethod::get, true,
        ZentrelSDK::EmptyBody(), [&](Foundation::Result<Document, ZentrelSDK::Error> result) {
          ok = result.isSuccess() && result.value().createdAt == 1700000000;
          done = true;
        });
    Foundation::RunLoop::main().runUntil([&] { return done; }, 10.0);
    if (!ok) {
      state.SkipWithError("request failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations());
}

std::size_t collect(char* data, std::size_t size, std::size_t count, void* out) {
  static_cast<std::string*>(out)->append(data, size * count);
  return size * count;
}

void BareLibcurl(benchmark::State& state) {
  CURL* curl = curl_easy_init();
  curl_slist* routes = nullptr;
  for (const auto& route : server->routes()) routes = curl_slist_append(routes, route.c_str());
  curl_slist* headers = curl_slist_append(nullptr, "Authorization: Bearer token");
  headers = curl_slist_append(headers, "x-request-code;");
  curl_blob ca{const_cast<char*>(server->caPem().data()), server->caPem().size(), CURL_BLOB_COPY};
  std::string body;
  curl_easy_setopt(curl, CURLOPT_URL, kURL.c_str());
  curl_easy_setopt(curl, CURLOPT_CONNECT_TO, routes);
  curl_easy_setopt(curl, CURLOPT_CAINFO_BLOB, &ca);
  curl_easy_setopt(curl, CURLOPT_CAPATH, nullptr);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  for (auto _ : state) {
    body.clear();
    long status = 0;
    const CURLcode code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    auto decoded =
        Foundation::decode<Document>(body, Foundation::KeyDecodingStrategy::ConvertFromSnakeCase);
    if (code != CURLE_OK || status != 200 || decoded.isFailure()) {
      state.SkipWithError("request failed");
      break;
    }
    benchmark::DoNotOptimize(decoded);
  }
  state.SetItemsProcessed(state.iterations());
  curl_slist_free_all(headers);
  curl_slist_free_all(routes);
  curl_easy_cleanup(curl);
}

// Short runs, repeated and interleaved, so a slow spell of the machine hits both sides alike.
BENCHMARK(ThroughRequestManager)->UseRealTime()->MinTime(0.5)->Repetitions(8);
BENCHMARK(BareLibcurl)->UseRealTime()->MinTime(0.5)->Repetitions(8);

// Keeps each benchmark's median rate so the two can be compared at the end.
class RateReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
      const auto it = run.counters.find("items_per_second");
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" &&
          it != run.counters.end()) {
        rates[run.run_name.function_name] = it->second.value;
      }
    }
  }
  std::map<std::string, double> rates;
};

}  // namespace

int main(int argc, char** argv) {
  const benchload::Report load;
  curl_global_init(CURL_GLOBAL_DEFAULT);
  benchsandbox::RoutedSandbox sandbox;
  server = &sandbox;

  std::vector<char*> args(argv, argv + argc);
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  std::string aggregates = "--benchmark_report_aggregates_only=true";
  args.insert(args.begin() + 1, {interleave.data(), aggregates.data()});
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  RateReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const auto rate = [&](const std::string& prefix) {
    for (const auto& [name, value] : reporter.rates) {
      if (name.rfind(prefix, 0) == 0) return value;
    }
    return 0.0;
  };
  const double kit = rate("ThroughRequestManager");
  const double bare = rate("BareLibcurl");
  if (kit > 0 && bare > 0) {
    std::printf("\nmedians of 8 interleaved runs\n");
    std::printf("ZTRequestManager: %.0f requests/s\nbare libcurl:     %.0f requests/s\n", kit,
                bare);
    std::printf("ratio (bare / kit): %.2fx (goal: within 1.20x)\n", bare / kit);
  }
  curl_global_cleanup();
  return 0;
}
