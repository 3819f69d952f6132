#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <Foundation/CocoaError.hpp>
#include <Foundation/FileManager.hpp>
#include <Foundation/URL.hpp>
#include <Foundation/UUID.hpp>

#include <sandbox/TestClient.hpp>

#include "NetworkingSupport.hpp"
#include "ZTNetworkCore/DownloadService.hpp"
#include "ZTNetworkCore/ZTNetworkCore.hpp"
#include "ZTNetworkCore/ZTUploadService.hpp"

namespace {

using nettest::idURL;
using nettest::Outcome;
using ZentrelSDK::DownloadingErrors;
using ZentrelSDK::ZTNetworkCore;
using ZentrelSDK::ZTNetworkError;
using ZentrelSDK::ZTResponse;
using ZentrelSDK::ZTUploadService;

// Every progress report, in order, with whether the completion had already come; kept as long
// as the callback lives.
struct Progress {
  struct Heard {
    std::vector<Foundation::Result<double, ZentrelSDK::Error>> reports;
    bool afterCompletion = false;
    bool onMain = true;
    std::shared_ptr<const bool> completed;
  };
  std::shared_ptr<Heard> heard = std::make_shared<Heard>();
  std::vector<Foundation::Result<double, ZentrelSDK::Error>>& reports = heard->reports;
  bool& afterCompletion = heard->afterCompletion;
  bool& onMain = heard->onMain;
  std::shared_ptr<const bool>& completed = heard->completed;

  ZTNetworkCore::ProgressCallback callback() {
    return [heard = heard](Foundation::Result<double, ZentrelSDK::Error> r) {
      heard->reports.push_back(std::move(r));
      heard->afterCompletion = heard->afterCompletion || (heard->completed && *heard->completed);
      heard->onMain = heard->onMain && Foundation::Thread::isMainThread();
    };
  }
  std::vector<double> fractions() const {
    std::vector<double> out;
    for (const auto& r : reports)
      if (r.isSuccess()) out.push_back(r.value());
    return out;
  }
};

class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& bytes) {
    path_ = Foundation::FileManager::defaultManager().temporaryDirectory().path() + "/transfer-" +
            Foundation::UUID().uuidString() + ".jpg";
    std::ofstream(path_, std::ios::binary) << bytes;
  }
  ~TemporaryFile() { std::remove(path_.c_str()); }
  Foundation::URL url() const { return Foundation::URL::fileURLWithPath(path_, false); }

 private:
  std::string path_;
};

class Transfers : public zttest::SandboxTest {
 protected:
  struct Upload {
    Outcome<ZTResponse> done;
    Progress progress;
    std::shared_ptr<bool> completed = std::make_shared<bool>(false);
  };
  // Starts an upload; the completion marks `completed` so progress can tell late reports.
  static void start(Upload& u, const std::string& url, const Foundation::URL& file,
                    ZTNetworkCore::Headers headers = {}) {
    u.progress.completed = u.completed;
    auto record = u.done.callback();
    ZTNetworkCore::upload(
        url, headers, file,
        [completed = u.completed, record](Foundation::Result<ZTResponse, ZentrelSDK::Error> r) {
          *completed = true;
          record(std::move(r));
        },
        u.progress.callback());
  }
};

TEST_F(Transfers, MultipartBodyIsTheFilePlus178BytesWithAFreshBoundary) {
  const std::string image = sandbox::testPattern(0, 1000);
  TemporaryFile file(image);
  nettest::RawWire wire(sb());
  Upload first, second;
  start(first, idURL("/api/v1.1/documents/file"), file.url(),
        {{"Content-Type", "application/json"}, {"Authorization", "Bearer s"}});
  ASSERT_TRUE(first.done.wait());
  start(second, idURL("/api/v1.1/documents/file"), file.url());
  ASSERT_TRUE(second.done.wait());
  ASSERT_TRUE(first.done.result->isSuccess()) << first.done.errorText();
  EXPECT_EQ(first.done.value().statusCode, 200);
  EXPECT_EQ(nettest::text(first.done.value().data), "ok");

  std::vector<std::string> boundaries;
  for (const auto& bytes : wire.all(2)) {
    const nettest::WireRequest request(bytes);
    EXPECT_EQ(request.requestLine, "POST /api/v1.1/documents/file HTTP/1.1");
    const auto type = request.lines("Content-Type");
    ASSERT_EQ(type.size(), 1u) << "the caller's Content-Type must be replaced";
    std::smatch m;
    ASSERT_TRUE(std::regex_match(
        type[0], m,
        std::regex("Content-Type: multipart/form-data; boundary=([0-9A-F]{8}-[0-9A-F]{4}-"
                   "[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12})")))
        << type[0];
    const std::string b = m[1];
    boundaries.push_back(b);
    ASSERT_EQ(request.body.size(), 1178u);
    EXPECT_EQ(request.body,
              "--" + b +
                  "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"file.jpg\"\r\n"
                  "Content-Type: image/jpeg\r\n\r\n" +
                  image + "\r\n--" + b + "--\r\n");
    EXPECT_EQ(request.lines("Content-Length"), std::vector<std::string>{"Content-Length: 1178"});
  }
  ASSERT_EQ(boundaries.size(), 2u);
  EXPECT_NE(boundaries[0], boundaries[1]);
}

TEST_F(Transfers, UploadReportsProgressBeforeItsAnswerOnTheMainQueue) {
  const std::string image = sandbox::testPattern(3, 3u << 20);
  TemporaryFile file(image);
  Upload u;
  start(u, idURL("/test/upload"), file.url());
  EXPECT_FALSE(u.done.result.has_value());
  ASSERT_TRUE(u.done.wait(30));
  ASSERT_TRUE(u.done.result->isSuccess()) << u.done.errorText();
  EXPECT_TRUE(u.done.onMain && u.progress.onMain);
  EXPECT_FALSE(u.progress.afterCompletion);

  const auto echo = nettest::echoOf(u.done.value());
  EXPECT_EQ(echo.at("fields").at(0).at("sha256"), sandbox::testing::sha256Hex(image));

  const auto fractions = u.progress.fractions();
  ASSERT_FALSE(fractions.empty());
  EXPECT_EQ(fractions.size(), u.progress.reports.size()) << "an upload reports no failures";
  for (std::size_t i = 0; i < fractions.size(); ++i) {
    EXPECT_TRUE(std::isfinite(fractions[i]) && fractions[i] >= 0.0 && fractions[i] <= 1.0);
    if (i > 0) {
      EXPECT_GE(fractions[i], fractions[i - 1]);
    }
  }
  EXPECT_DOUBLE_EQ(fractions.back(), 1.0);
}

TEST_F(Transfers, UploadAnswersCarryTheirStatusAndLeaveTheRegistry) {
  TemporaryFile file("tiny");
  Upload u;
  start(u, idURL("/test/status/422?body=Invalid"), file.url());
  ASSERT_TRUE(u.done.wait());
  ASSERT_TRUE(u.done.result->isSuccess()) << u.done.errorText();
  EXPECT_EQ(u.done.value().statusCode, 422);
  EXPECT_EQ(nettest::text(u.done.value().data), "Invalid");
  // Dropped once delivered, so the task and what its callbacks hold are released.
  EXPECT_TRUE(
      zttest::runUntil([] { return ZTUploadService::shared()->registeredTaskCount() == 0; }, 5.0));

  // What the callbacks held goes after the registry's lock: it may ask the registry as it goes.
  struct Asking {
    explicit Asking(std::shared_ptr<int> a) : asked(std::move(a)) {}
    ~Asking() { *asked = static_cast<int>(ZTUploadService::shared()->registeredTaskCount()); }
    std::shared_ptr<int> asked;
  };
  auto asked = std::make_shared<int>(-1);
  Outcome<ZTResponse> again;
  ZTNetworkCore::upload(idURL("/test/status/422"), {}, file.url(), again.callback(),
                        [asking = std::make_shared<Asking>(asked)](auto) {});
  ASSERT_TRUE(again.wait());
  EXPECT_EQ(*asked, 0);
}

TEST_F(Transfers, UploadFailuresBeforeSendingAreReportedAtOnce) {
  Upload missing;
  start(missing, idURL("/test/upload"),
        Foundation::URL::fileURLWithPath("/nonexistent/zt-" + Foundation::UUID().uuidString(),
                                         false));
  ASSERT_TRUE(missing.done.result.has_value());
  ASSERT_TRUE(missing.done.result->isFailure());
  const auto* readError = missing.done.error().as<Foundation::CocoaError>();
  ASSERT_NE(readError, nullptr) << missing.done.errorText();
  EXPECT_EQ(readError->code, Foundation::CocoaError::Code::FileReadNoSuchFile);
  EXPECT_TRUE(missing.progress.reports.empty());

  TemporaryFile file("x");
  auto order = std::make_shared<std::vector<std::string>>();
  ZTNetworkCore::upload(
      "https://id.zentrel.com/a b", {}, file.url(),
      [order](Foundation::Result<ZTResponse, ZentrelSDK::Error> r) {
        order->push_back("completion: " + r.error().localizedDescription());
      },
      [order](Foundation::Result<double, ZentrelSDK::Error> r) {
        order->push_back("progress: " + r.error().localizedDescription());
      });
  EXPECT_EQ(*order, (std::vector<std::string>{"completion: wrong url", "progress: wrong url"}));

  Outcome<ZTResponse> download;
  Progress downloadProgress;
  ZTNetworkCore::download("https://id.zentrel.com/a b", std::nullopt, download.callback(),
                          downloadProgress.callback());
  ASSERT_TRUE(download.result.has_value());
  EXPECT_EQ(download.error(), ZTNetworkError::wrongURL());
  EXPECT_TRUE(downloadProgress.reports.empty());
  EXPECT_EQ(sb().count("test.upload"), 0u);
}

TEST(UploadProgress, FractionsAreFiniteAndWithinOne) {
  using ZentrelSDK::ZTUploadService;
  EXPECT_EQ(ZTUploadService::progressFraction(0, 0), std::nullopt);
  EXPECT_EQ(ZTUploadService::progressFraction(10, 0), std::nullopt);
  EXPECT_EQ(ZTUploadService::progressFraction(10, -1), std::nullopt);
  EXPECT_EQ(ZTUploadService::progressFraction(0, 200), 0.0);
  EXPECT_EQ(ZTUploadService::progressFraction(50, 200), 0.25);
  EXPECT_EQ(ZTUploadService::progressFraction(200, 200), 1.0);
  EXPECT_EQ(ZTUploadService::progressFraction(300, 200), 1.0);
}

TEST_F(Transfers, DownloadReportsFractionsThenTheBody) {
  Outcome<ZTResponse> done;
  Progress progress;
  auto completed = std::make_shared<bool>(false);
  progress.completed = completed;
  auto record = done.callback();
  ZTNetworkCore::download(
      idURL("/test/download/1000?chunk=400&pause=30"), ZTNetworkCore::Headers{},
      [completed, record](Foundation::Result<ZTResponse, ZentrelSDK::Error> r) {
        *completed = true;
        record(std::move(r));
      },
      progress.callback());
  ASSERT_TRUE(done.wait());
  ASSERT_TRUE(done.result->isSuccess()) << done.errorText();
  EXPECT_EQ(done.value().statusCode, 200);
  EXPECT_EQ(nettest::text(done.value().data), sandbox::testPattern(0, 1000));
  EXPECT_TRUE(done.onMain && progress.onMain);
  EXPECT_FALSE(progress.afterCompletion);
  const auto fractions = progress.fractions();
  ASSERT_EQ(fractions.size(), progress.reports.size());
  ASSERT_GE(fractions.size(), 3u);
  for (std::size_t i = 1; i < fractions.size(); ++i) EXPECT_GT(fractions[i], fractions[i - 1]);
  EXPECT_DOUBLE_EQ(fractions.back(), 1.0);
  EXPECT_NEAR(fractions.front(), 0.4, 0.4);
}

TEST_F(Transfers, DownloadReportsTheRealStatus) {
  Outcome<ZTResponse> notFound, empty;
  ZTNetworkCore::download(idURL("/test/status/404?type=text/html&body=%3Ch1%3Emissing%3C/h1%3E"),
                          std::nullopt, notFound.callback());
  ZTNetworkCore::download(idURL("/test/download/0"), std::nullopt, empty.callback());
  ASSERT_TRUE(notFound.wait() && empty.wait());
  ASSERT_TRUE(notFound.result->isSuccess()) << notFound.errorText();
  EXPECT_EQ(notFound.value().statusCode, 404);
  EXPECT_EQ(nettest::text(notFound.value().data), "<h1>missing</h1>");
  ASSERT_TRUE(empty.result->isSuccess());
  EXPECT_EQ(empty.value().statusCode, 200);
  EXPECT_EQ(empty.value().data, Foundation::Data{});
  EXPECT_EQ(ZentrelSDK::DownloadService::shared()->registeredTaskCount(), 0u);
}

TEST_F(Transfers, DownloadFractionsStayWithinOneWhenMoreArrivesThanAnnounced) {
  // Chunked framing wins over a Content-Length that announces fewer bytes.
  sb().setRawAnswer(
      "HTTP/1.1 200 OK\r\nContent-Length: 4\r\nTransfer-Encoding: chunked\r\n"
      "Connection: close\r\n\r\na\r\n0123456789\r\n0\r\n\r\n");
  nettest::RawWire wire(sb());
  Outcome<ZTResponse> done;
  Progress progress;
  ZTNetworkCore::download(idURL("/file"), std::nullopt, done.callback(), progress.callback());
  ASSERT_TRUE(done.wait());
  sb().setRawAnswer({});
  ASSERT_TRUE(done.result->isSuccess()) << done.errorText();
  EXPECT_EQ(nettest::text(done.value().data), "0123456789");
  // 10 bytes arrive where 4 were announced.
  const auto fractions = progress.fractions();
  ASSERT_EQ(fractions.size(), progress.reports.size());
  ASSERT_FALSE(fractions.empty());
  for (double f : fractions) EXPECT_TRUE(f >= 0.0 && f <= 1.0) << f;
  EXPECT_DOUBLE_EQ(fractions.back(), 1.0);
}

TEST_F(Transfers, ConcurrentTransfersKeepTheirOwnProgressAndBodies) {
  TemporaryFile small(sandbox::testPattern(0, 20000)), large(sandbox::testPattern(1, 600000));
  Upload up1, up2;
  start(up1, idURL("/test/upload/1"), small.url());
  start(up2, idURL("/test/upload/2"), large.url());
  Outcome<ZTResponse> down1, down2;
  Progress progress1, progress2;
  ZTNetworkCore::download(idURL("/test/download/3000?chunk=500&pause=5"), std::nullopt,
                          down1.callback(), progress1.callback());
  ZTNetworkCore::download(idURL("/test/download/7000?chunk=700&pause=5"), std::nullopt,
                          down2.callback(), progress2.callback());
  ASSERT_TRUE(up1.done.wait() && up2.done.wait() && down1.wait() && down2.wait());

  ASSERT_TRUE(up1.done.result->isSuccess() && up2.done.result->isSuccess());
  EXPECT_EQ(nettest::echoOf(up1.done.value()).at("fields").at(0).at("size"), 20000);
  EXPECT_EQ(nettest::echoOf(up2.done.value()).at("fields").at(0).at("size"), 600000);
  for (const auto* u : {&up1, &up2}) {
    ASSERT_FALSE(u->progress.fractions().empty());
    EXPECT_DOUBLE_EQ(u->progress.fractions().back(), 1.0);
  }
  ASSERT_TRUE(down1.result->isSuccess() && down2.result->isSuccess());
  EXPECT_EQ(nettest::text(down1.value().data), sandbox::testPattern(0, 3000));
  EXPECT_EQ(nettest::text(down2.value().data), sandbox::testPattern(0, 7000));
  // A report routed to the wrong task would break the order of the other's fractions.
  for (const auto* p : {&progress1, &progress2}) {
    const auto fractions = p->fractions();
    ASSERT_FALSE(fractions.empty());
    for (std::size_t i = 1; i < fractions.size(); ++i) {
      EXPECT_GT(fractions[i], fractions[i - 1]);
    }
    EXPECT_DOUBLE_EQ(fractions.back(), 1.0);
  }
  EXPECT_TRUE(zttest::runUntil(
      [] {
        return ZTUploadService::shared()->registeredTaskCount() == 0 &&
               ZentrelSDK::DownloadService::shared()->registeredTaskCount() == 0;
      },
      5.0));
}

}  // namespace
