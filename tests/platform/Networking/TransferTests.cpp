// Bodies streamed both ways: uploads from bytes or files with progress, downloads to the data
// delegate or to a temporary file.
#include <memory>
#include <sandbox/TestClient.hpp>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "NetworkTest.hpp"
#include "support/RunLoopSupport.hpp"

namespace nettest {
namespace {

using TransferTests = NetworkTest;

// The progress reports of one task: steps add up, totals only grow, the expected total holds.
void expectMonotonicProgress(const std::vector<Event>& sent, std::int64_t size) {
  ASSERT_FALSE(sent.empty());
  std::int64_t total = 0;
  for (const auto& e : sent) {
    EXPECT_GT(e.a, 0);
    EXPECT_EQ(e.b, total + e.a);
    EXPECT_EQ(e.c, size);
    EXPECT_TRUE(e.onDelegateQueue);
    total = e.b;
  }
  EXPECT_EQ(total, size);
}

TEST_F(TransferTests, FileBodyIsSentAgainAfterA307) {
  const std::string content = sandbox::testPattern(5, 300000);
  TempFile file(content);
  auto recorder = std::make_shared<Recorder>();
  auto s = session(recorder);
  URLRequest request(url(base() + "/test/redirect/307?to=/test/upload"));
  request.httpMethod = "POST";
  auto task = s->uploadTask(request, file.fileURL());
  task->resume();
  ASSERT_TRUE(zttest::runUntil([&] { return recorder->completedCount() == 1; }, 30));

  EXPECT_EQ(recorder->events(Event::Kind::redirect).size(), 1u);
  const auto result = json(recorder->body());
  EXPECT_EQ(result["method"], "POST");
  EXPECT_EQ(result["sha256"], sandbox::testing::sha256Hex(content));
  // Counted once, although the body went out twice.
  expectMonotonicProgress(recorder->events(Event::Kind::sent),
                          static_cast<std::int64_t>(content.size()));
}

TEST_F(TransferTests, StreamBodyGoesOutWithItsLengthOrChunked) {
  const std::string content = sandbox::testPattern(3, 700000);
  for (const bool declared : {true, false}) {
    SCOPED_TRACE(declared ? "declared length" : "chunked");
    auto recorder = std::make_shared<Recorder>();
    auto s = session(recorder);
    auto stream = std::make_shared<TextStream>(content, false);
    URLRequest request(url(base() + "/test/upload"));
    request.httpMethod = "POST";
    if (declared) request.setValue(std::to_string(content.size()), "Content-Length");
    request.httpBodyStream = stream;
    s->dataTask(request)->resume();
    ASSERT_TRUE(zttest::runUntil([&] { return recorder->completedCount() == 1; }, 30));

    EXPECT_FALSE(recorder->events(Event::Kind::completed)[0].error);
    const auto result = json(recorder->body());
    EXPECT_EQ(result["size"], content.size());
    EXPECT_EQ(result["sha256"], sandbox::testing::sha256Hex(content));
    EXPECT_EQ(result["contentLength"],
              declared ? nlohmann::json(content.size()) : nlohmann::json(nullptr));
    const auto sent = recorder->events(Event::Kind::sent);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back().b, static_cast<std::int64_t>(content.size()));
    EXPECT_EQ(sent.back().c, declared ? static_cast<std::int64_t>(content.size())
                                      : NSURLSessionTransferSizeUnknown);
    EXPECT_EQ(stream->opens, 1);
    EXPECT_EQ(stream->closes, 1);
  }
}

TEST_F(TransferTests, StreamBodyIsSentAgainAfterA307OnlyWhenItSeeks) {
  const std::string content = sandbox::testPattern(9, 200000);
  for (const bool seekable : {true, false}) {
    SCOPED_TRACE(seekable ? "seekable" : "not seekable");
    auto s = session();
    URLRequest request(url(base() + "/test/redirect/307?to=/test/upload"));
    request.httpMethod = "POST";
    request.setValue(std::to_string(content.size()), "Content-Length");
    request.httpBodyStream = std::make_shared<TextStream>(content, seekable);
    auto o = load(s, request, 30);
    if (seekable) {
      ASSERT_FALSE(o.error) << o.error->localizedDescription();
      EXPECT_EQ(json(*o.data)["sha256"], sandbox::testing::sha256Hex(content));
    } else {
      ASSERT_TRUE(o.error);
      EXPECT_EQ(o.error->code, NSURLErrorRequestBodyStreamExhausted);
      EXPECT_EQ(o.error->localizedDescription(), "request body stream exhausted");
    }
  }
}

TEST_F(TransferTests, StreamThatFailsEndsTheTaskWithItsError) {
  auto s = session();
  auto stream = std::make_shared<TextStream>(sandbox::testPattern(0, 400000), false, 150000);
  URLRequest request(url(base() + "/test/upload"));
  request.httpMethod = "POST";
  request.setValue("400000", "Content-Length");
  request.httpBodyStream = stream;
  auto o = load(s, request, 30);
  ASSERT_TRUE(o.error);
  EXPECT_EQ(o.error->domain, "TextStream");
  EXPECT_EQ(o.error->code, 7);
  EXPECT_EQ(stream->closes, 1);
}

TEST_F(TransferTests, MissingFileFailsWithoutReachingTheServer) {
  auto s = session();
  // Marked, since an upload of an earlier test may still be logged late.
  URLRequest request(url(base() + "/test/upload?missing=1"));
  request.httpMethod = "POST";
  auto heard = std::make_shared<TaskEnd>();
  auto& done = heard->done;
  auto& error = heard->error;
  auto task = s->uploadTask(request, URL::fileURLWithPath("/nonexistent/zt-file.jpg", false),
                            [heard](auto, auto, auto err) {
                              heard->error = std::move(err);
                              heard->done = true;
                            });
  task->resume();
  ASSERT_TRUE(zttest::runUntil([&] { return done.load(); }));
  ASSERT_TRUE(error);
  EXPECT_EQ(error->code, NSURLErrorFileDoesNotExist);
  for (const auto& logged : sb().requests("test.upload")) EXPECT_FALSE(logged.param("missing"));
}

TEST_F(TransferTests, DataDelegateGetsTheResponseFirstThenThePieces) {
  constexpr std::size_t size = 1000000;
  auto recorder = std::make_shared<Recorder>();
  auto s = session(recorder);
  auto task = s->dataTask(url(base() + "/test/download/1000000?chunk=65536"));
  task->resume();
  ASSERT_TRUE(zttest::runUntil([&] { return recorder->completedCount() == 1; }, 30));

  const auto events = recorder->events();
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events.front().kind, Event::Kind::response);
  EXPECT_EQ(events.front().status, 200);
  EXPECT_EQ(events.front().a, static_cast<std::int64_t>(size));
  EXPECT_EQ(events.back().kind, Event::Kind::completed);
  EXPECT_FALSE(events.back().error);
  EXPECT_GT(recorder->events(Event::Kind::data).size(), 1u);
  for (const auto& e : events) EXPECT_TRUE(e.onDelegateQueue);
  EXPECT_EQ(text(recorder->body()), sandbox::testPattern(0, size));
  EXPECT_EQ(task->response()->expectedContentLength(), static_cast<std::int64_t>(size));
}

TEST_F(TransferTests, DownloadTaskWritesATemporaryFileForTheDelegate) {
  constexpr std::int64_t size = 700000;
  auto recorder = std::make_shared<Recorder>();
  auto s = session(recorder);
  auto task = s->downloadTask(url(base() + "/test/download/700000?chunk=50000"));
  task->resume();
  ASSERT_TRUE(zttest::runUntil([&] { return recorder->completedCount() == 1; }, 30));

  const auto wrote = recorder->events(Event::Kind::wrote);
  ASSERT_FALSE(wrote.empty());
  std::int64_t total = 0;
  for (const auto& e : wrote) {
    EXPECT_EQ(e.b, total + e.a);
    EXPECT_EQ(e.c, size);
    total = e.b;
  }
  EXPECT_EQ(total, size);
  const auto events = recorder->events();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2].kind, Event::Kind::finished);
  EXPECT_EQ(events.back().kind, Event::Kind::completed);
  EXPECT_FALSE(events.back().error);
  EXPECT_EQ(recorder->downloadedFile(), sandbox::testPattern(0, size));
  // Gone once the delegate call has returned.
  EXPECT_FALSE(recorder->downloadedPath().empty());
  EXPECT_FALSE(std::filesystem::exists(recorder->downloadedPath()));
}

}  // namespace
}  // namespace nettest
