// The new-document road for a 4 MB JPEG (check, create, front, back, confirm, polls until
// Verified, the API server's list) through the kit's clients, and as the same requests on one
// bare libcurl handle: both times, their ratio and the connections opened per host.
#include <curl/curl.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include <Foundation/NetworkEnvironment.hpp>
#include <Foundation/RunLoop.hpp>
#include <sandbox/Sandbox.hpp>

#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"
#include "ZTAPI/ZTPrivateAPIDocuments.hpp"
#include "ZTAPI/ZTPublicAPIDocuments.hpp"
#include "ZTTokenUtilites.hpp"

#include "LoadAverage.hpp"
#include "Median.hpp"
#include "SandboxRoutes.hpp"

namespace {

using namespace ZentrelSDK;
using SteadyClock = std::chrono::steady_clock;
using Connections = std::map<std::string, long>;

constexpr const char* kUser = "user1@example.com";
constexpr std::size_t kImageBytes = 4u << 20;
constexpr int kRounds = 7;
const std::string kId = "https://id.zentrel.com/api/v1.1";
const std::string kApi = "https://api.zentrel.com/v1";

struct Run {
  double seconds = 0;
  Connections connections;
  int polls = 0;
  bool ok = false;
};

// Runs one asynchronous kit call and serves the main run loop until it has answered.
bool step(const std::function<void(std::function<void(bool)>)>& call) {
  std::optional<bool> ok;
  call([&](bool result) { ok = result; });
  Foundation::RunLoop::main().runUntil([&] { return ok.has_value(); }, 60.0);
  return ok.value_or(false);
}

// Connections the kit opened over every road run so far.
Connections kitConnections;

Run throughKit(const Foundation::URL& image) {
  Run run;
  // libcurl names no host when it connects through a route: a transfer that opened a
  // connection is counted under the Host header it then sends.
  std::mutex mutex;
  std::map<std::pair<std::uintptr_t, std::uint64_t>, bool> opened;
  Foundation::NetworkEnvironment::setTraceHandler([&](const Foundation::NetworkTrace& trace) {
    const std::pair key{trace.session, trace.taskIdentifier};
    std::lock_guard lock(mutex);
    if (trace.kind == Foundation::NetworkTrace::Kind::text &&
        trace.bytes.rfind("Connected to ", 0) == 0) {
      opened[key] = true;
    } else if (trace.kind == Foundation::NetworkTrace::Kind::headerOut && opened[key]) {
      opened[key] = false;
      const auto at = trace.bytes.find("\r\nHost: ");
      if (at == std::string::npos) return;
      const auto from = at + 8;
      ++kitConnections[trace.bytes.substr(from, trace.bytes.find("\r\n", from) - from)];
    }
  });
  using Docs = ZTPrivateAPIDocuments;
  const auto failed = [](std::function<void(bool)> done) {
    return [done](const std::string&) { done(false); };
  };
  std::string id;
  std::optional<ZTPublicConstants::DocumentStatusType> status;
  const auto start = SteadyClock::now();
  run.ok =
      step([&](auto done) {
        Docs::validateDocumentFile(
            image, [done] { done(true); }, nullptr, failed(done));
      }) &&
      step([&](auto done) {
        Docs::createDocument(
            ZTPublicConstants::DocumentType::Passport, ZTPublicConstants::AreaType::Internal, "",
            [&, done](ZTDocumentCreateResponse answer) {
              id = answer.message;
              done(true);
            },
            failed(done));
      }) &&
      step([&](auto done) {
        Docs::uploadDocumentFileFront(
            id, image, [done](auto) { done(true); }, nullptr, failed(done));
      }) &&
      step([&](auto done) {
        Docs::uploadDocumentFileBack(
            id, image, [done](auto) { done(true); }, nullptr, failed(done));
      }) &&
      step([&](auto done) {
        Docs::confirmDocumentUpload(
            id, [done](auto) { done(true); }, failed(done));
      });
  while (run.ok && status != ZTPublicConstants::DocumentStatusType::Verified && run.polls < 15) {
    ++run.polls;
    run.ok = step([&](auto done) {
      Docs::getDocumentFromID(
          id,
          [&, done](ZTDocumentResponse answer) {
            status = answer.status;
            done(true);
          },
          failed(done));
    });
  }
  run.ok =
      run.ok && status == ZTPublicConstants::DocumentStatusType::Verified && step([&](auto done) {
        ZTPublicAPIDocuments::request<std::vector<std::optional<ZTPublicDocumentElement>>>(
            true, "/documents", [done](auto list) { done(!list.empty()); },
            [done](auto) { done(false); });
      });
  run.seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
  Foundation::NetworkEnvironment::setTraceHandler(nullptr);
  run.connections = kitConnections;
  return run;
}

std::size_t collect(char* data, std::size_t size, std::size_t count, void* out) {
  static_cast<std::string*>(out)->append(data, size * count);
  return size * count;
}

// The same requests on one reused handle: each returns the status and fills `body`.
class BareHandle {
 public:
  explicit BareHandle(const sandbox::Sandbox& sb) : curl_(curl_easy_init()) {
    for (const auto& route : sb.routes()) routes_ = curl_slist_append(routes_, route.c_str());
    curl_blob ca{const_cast<char*>(sb.caPem().data()), sb.caPem().size(), CURL_BLOB_COPY};
    curl_easy_setopt(curl_, CURLOPT_CONNECT_TO, routes_);
    curl_easy_setopt(curl_, CURLOPT_CAINFO_BLOB, &ca);
    curl_easy_setopt(curl_, CURLOPT_CAPATH, static_cast<char*>(nullptr));
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &body);
  }
  ~BareHandle() {
    curl_easy_cleanup(curl_);
    curl_slist_free_all(routes_);
  }
  BareHandle(const BareHandle&) = delete;
  BareHandle& operator=(const BareHandle&) = delete;

  long get(const std::string& url, bool api = false) {
    return perform(url, api, [] {});
  }
  long postJSON(const std::string& url, const std::string& json) {
    return perform(url, false, [&] {
      curl_easy_setopt(curl_, CURLOPT_POSTFIELDS, json.c_str());
      curl_easy_setopt(curl_, CURLOPT_POSTFIELDSIZE, static_cast<long>(json.size()));
    });
  }
  long postFile(const std::string& url, const std::string& path) {
    curl_mime* mime = curl_mime_init(curl_);
    curl_mimepart* part = curl_mime_addpart(mime);
    curl_mime_name(part, "file");
    curl_mime_filedata(part, path.c_str());
    curl_mime_filename(part, "file.jpg");
    curl_mime_type(part, "image/jpeg");
    const long status =
        perform(url, false, [&] { curl_easy_setopt(curl_, CURLOPT_MIMEPOST, mime); });
    curl_mime_free(mime);
    return status;
  }

  std::string body;
  Connections connections;  // over every request so far
  std::string session, access;

 private:
  long perform(const std::string& url, bool api, const std::function<void()>& configure) {
    body.clear();
    curl_easy_setopt(curl_, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
    curl_slist* headers =
        curl_slist_append(nullptr, ("Authorization: Bearer " + (api ? access : session)).c_str());
    headers = curl_slist_append(headers, "x-request-code;");
    curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, headers);
    configure();
    long status = 0;
    long connects = 0;
    if (curl_easy_perform(curl_) == CURLE_OK)
      curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(curl_, CURLINFO_NUM_CONNECTS, &connects);
    connections[api ? "api.zentrel.com" : "id.zentrel.com"] += connects;
    curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, static_cast<curl_slist*>(nullptr));
    curl_slist_free_all(headers);
    return status;
  }

  CURL* curl_;
  curl_slist* routes_ = nullptr;
};

Run bare(BareHandle& handle, const std::string& path) {
  Run run;
  handle.session = ZTTokenUtilites::shared()->getToken();
  handle.access = ZTTokenUtilites::shared()->getOAuthToken().value_or("");
  const auto start = SteadyClock::now();
  run.ok = handle.postFile(kId + "/documents/file/check", path) == 200 &&
           handle.postJSON(kId + "/documents",
                           R"({"type":"Passport","areaType":"Internal","description":""})") == 200;
  const std::string id =
      run.ok ? nlohmann::json::parse(handle.body).value("message", std::string()) : "";
  run.ok = run.ok && handle.postFile(kId + "/documents/" + id + "/front", path) == 200 &&
           handle.postFile(kId + "/documents/" + id + "/back", path) == 200 &&
           handle.postJSON(kId + "/documents/" + id + "/confirm", "") == 200;
  std::string status;
  while (run.ok && status != "Verified" && run.polls < 15) {
    ++run.polls;
    run.ok = handle.get(kId + "/documents/" + id) == 200;
    if (run.ok) status = nlohmann::json::parse(handle.body).value("status", std::string());
  }
  run.ok = run.ok && status == "Verified" && handle.get(kApi + "/documents", true) == 200;
  run.seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
  run.connections = handle.connections;
  return run;
}

std::string text(const Connections& connections) {
  std::string out;
  for (const auto& [host, count] : connections)
    out += (out.empty() ? "" : ", ") + host + " " + std::to_string(count);
  return out.empty() ? "none" : out;
}

}  // namespace

using benchstats::median;

int main() {
  const benchload::Report load;
  benchsandbox::RoutedSandbox sb;
  ZTTokenUtilites::shared()->saveToken(sb.signIn(kUser), false);
  ZTTokenUtilites::shared()->saveOAuthToken(sb.grant(kUser, "sandbox-app"));

  std::string folder = (std::filesystem::temp_directory_path() / "zt-bench-XXXXXX").string();
  if (::mkdtemp(folder.data()) == nullptr) return 1;
  const std::string path = folder + "/document.jpg";
  {
    std::string bytes = sandbox::testPattern(0, kImageBytes);
    bytes.replace(0, 3, "\xFF\xD8\xFF");
    std::ofstream(path, std::ios::binary) << bytes;
  }

  // Both roads once first, so neither pays for the process's first handshakes; the
  // connections are counted over every round.
  BareHandle reused(sb);
  throughKit(Foundation::URL::fileURLWithPath(path));
  bare(reused, path);
  // Alternating rounds; each side's median time, so a busy machine tilts neither.
  std::vector<double> kitTimes, bareTimes;
  Run kit, handle;
  for (int round = 0; round < kRounds; ++round) {
    kit = throughKit(Foundation::URL::fileURLWithPath(path));
    handle = bare(reused, path);
    if (!kit.ok || !handle.ok) break;
    kitTimes.push_back(kit.seconds);
    bareTimes.push_back(handle.seconds);
  }
  kit.seconds = median(kitTimes);
  handle.seconds = median(bareTimes);
  std::filesystem::remove_all(folder);

  std::printf(
      "document road, %zu MB JPEG: check, create, front, back, confirm, %d polls, list"
      " (median of %d rounds)\n",
      kImageBytes >> 20, kit.polls, kRounds);
  std::printf("%-20s %10s  %-40s %4s\n", "client", "time", "connections per host (all rounds)",
              "ok");
  std::printf("%-20s %8.1f ms  %-40s %4s\n", "kit", kit.seconds * 1000,
              text(kit.connections).c_str(), kit.ok ? "yes" : "no");
  std::printf("%-20s %8.1f ms  %-40s %4s\n", "bare libcurl handle", handle.seconds * 1000,
              text(handle.connections).c_str(), handle.ok ? "yes" : "no");
  std::printf("kit / bare libcurl: %.2f (goal <= 1.20)\n", kit.seconds / handle.seconds);
  Foundation::NetworkEnvironment::reset();
  return kit.ok && handle.ok ? 0 : 1;
}
