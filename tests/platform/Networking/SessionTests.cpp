// Sessions: connection reuse, delegate queue, task life and invalidation.

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <thread>

#include <Foundation/RunLoop.hpp>
#include <Foundation/Thread.hpp>
#include <RunLoopCore/MainQueue.hpp>

#include "NetworkTest.hpp"
#include "Peers.hpp"
#include "support/RunLoopSupport.hpp"

namespace nettest {
namespace {

using SessionTests = NetworkTest;

TEST_F(SessionTests, SequentialRequestsReuseOneConnectionPerHost) {
  auto s = session();
  // The sandbox serves up to five requests on one connection.
  for (int i = 0; i < 4; ++i) {
    ASSERT_FALSE(load(s, URLRequest(url(base() + "/test/echo/" + std::to_string(i)))).error);
    ASSERT_FALSE(load(s, URLRequest(url(base("api.zentrel.com") + "/test/echo"))).error);
  }
  EXPECT_EQ(s->newConnectionCount(), 2u);

  // Another session of the process rides the same connections.
  auto other = session();
  ASSERT_FALSE(load(other, URLRequest(url(base() + "/test/echo"))).error);
  EXPECT_EQ(other->newConnectionCount(), 0u);
  EXPECT_EQ(s->newConnectionCount(), 2u);
}

// Tasks started at once from many threads, while others complete: each ends exactly once with
// its own answer.
TEST_F(SessionTests, TasksStartedFromManyThreadsEachCompleteOnce) {
  auto s = session();
  constexpr int threads = 6;
  constexpr int perThread = 12;
  // Completions that come after an early return count into live memory.
  struct Heard {
    std::mutex mutex;
    std::map<std::string, int> completions;
  };
  auto heard = std::make_shared<Heard>();
  auto& mutex = heard->mutex;
  auto& completions = heard->completions;
  std::vector<std::thread> starters;
  for (int t = 0; t < threads; ++t) {
    starters.emplace_back([&, t] {
      for (int i = 0; i < perThread; ++i) {
        const std::string path = "/test/echo/" + std::to_string(t) + "-" + std::to_string(i);
        s->dataTask(url(base() + path), [heard, path](auto data, auto response, auto error) {
           auto http = std::dynamic_pointer_cast<HTTPURLResponse>(response);
           const bool ok = !error && http && http->statusCode() == 200 && data &&
                           json(*data).value("path", "") == path;
           std::lock_guard lock(heard->mutex);
           heard->completions[ok ? path : "failed " + path] += 1;
         })->resume();
      }
    });
  }
  for (auto& starter : starters) starter.join();
  ASSERT_TRUE(zttest::runUntil(
      [&] {
        std::lock_guard lock(mutex);
        int total = 0;
        for (const auto& [path, count] : completions) total += count;
        return total >= threads * perThread;
      },
      30));
  std::lock_guard lock(mutex);
  EXPECT_EQ(completions.size(), static_cast<std::size_t>(threads * perThread));
  for (const auto& [path, count] : completions) EXPECT_EQ(count, 1) << path;
}

// The session's own queue runs one operation at a time, in order, whether the session's thread
// or the queue's own thread runs it; handlers may start the next task.
TEST_F(SessionTests, OwnDelegateQueueStaysSerialWhileHandlersStartTasks) {
  // Owned by the tasks and operations in flight, which may outlive an early return.
  struct Chain {
    std::shared_ptr<URLSession> s = session();
    std::shared_ptr<OperationQueue> queue = s->delegateQueue();
    std::atomic<int> running{0};
    std::atomic<bool> overlapped{false};
    std::atomic<int> hostOperations{0};
    std::atomic<int> chained{0};
    void enter() {
      if (running.fetch_add(1) != 0) overlapped = true;
    }
    void leave() { running.fetch_sub(1); }
  };
  auto chain = std::make_shared<Chain>();
  auto& queue = chain->queue;

  constexpr int chainLength = 15;
  struct Next {
    static void step(const std::shared_ptr<Chain>& c, int step) {
      c->s->dataTask(url(base() + "/test/echo/" + std::to_string(step)),
                     [c, step](auto, auto, auto error) {
                       c->enter();
                       EXPECT_FALSE(error);
                       EXPECT_EQ(OperationQueue::current(), c->queue.get());
                       // The host's own operations land on the same queue meanwhile.
                       c->queue->addOperation([c] {
                         c->enter();
                         c->hostOperations += 1;
                         c->leave();
                       });
                       c->chained = step;
                       if (step < chainLength) Next::step(c, step + 1);
                       c->leave();
                     })
          ->resume();
    }
  };
  Next::step(chain, 1);
  ASSERT_TRUE(zttest::runUntil(
      [&] { return chain->chained == chainLength && chain->hostOperations == chainLength; }, 30));
  queue->waitUntilAllOperationsAreFinished();
  EXPECT_FALSE(chain->overlapped);
}

// A queue the host gave hears each task once, in the order the tasks ended, whichever thread
// ended them: the session's thread (an answer) or the caller starting it (refused at once).
// Each completion starts the next task from that queue.
TEST_F(SessionTests, HostQueueHearsEachTaskOnceInOrderWhicheverThreadEndedIt) {
  struct Row {
    const char* name;
    const char* url;
    int code;  // NSURLErrorDomain code, or 0 for an answer
  };
  static constexpr Row kRows[] = {
      {"answered by the sandbox", "https://id.zentrel.com/test/echo/a", 0},
      {"refused before it is sent", "http://id.zentrel.com/test/echo/b",
       NSURLErrorAppTransportSecurityRequiresSecureConnection},
      {"not loadable at all", "ftp://id.zentrel.com/test/echo/c", NSURLErrorUnsupportedURL},
  };
  static constexpr int kSteps = 12;
  // Touched on the main queue only; held by the handlers, which may outlive an early return.
  struct Chain : std::enable_shared_from_this<Chain> {
    std::shared_ptr<URLSession> s = URLSession::make(
        URLSessionConfiguration::defaultConfiguration(), nullptr, OperationQueue::main());
    std::vector<std::string> heard;
    bool offMain = false;
    void start(int step) {
      const Row& row = kRows[step % std::size(kRows)];
      s->dataTask(url(row.url), [self = shared_from_this(), &row, step](auto, auto response,
                                                                        auto error) {
         self->offMain = self->offMain || !Thread::isMainThread();
         const bool expected =
             row.code == 0 ? !error && response != nullptr : error && error->code == row.code;
         self->heard.push_back(std::to_string(step) + (expected ? " " : " wrong: ") + row.name);
         if (step + 1 < kSteps) self->start(step + 1);
       })->resume();
    }
  };
  auto chain = std::make_shared<Chain>();
  chain->start(0);
  ASSERT_TRUE(zttest::runUntil([&] { return chain->heard.size() >= kSteps; }, 30));
  std::vector<std::string> expected;
  for (int step = 0; step < kSteps; ++step) {
    expected.push_back(std::to_string(step) + " " + kRows[step % std::size(kRows)].name);
  }
  EXPECT_EQ(chain->heard, expected);
  EXPECT_FALSE(chain->offMain);
  chain->s->finishTasksAndInvalidate();
}

// A server may close a kept-alive connection whenever it likes, and a closed connection can
// still look open to the client: a request that meets only such connections before any answer
// goes out again on a new one instead of failing, whichever session left them.
TEST_F(SessionTests, RequestMeetingConnectionsTheServerClosedGoesAgainOnANewOne) {
  for (const bool anotherSession : {false, true}) {
    SCOPED_TRACE(anotherSession ? "left by another session" : "left by the same session");
    trustSandboxAfresh();
    sb().clearRawRequests();
    for (const auto& route : sb().rawRoutes()) ASSERT_TRUE(NetworkEnvironment::addRoute(route));
    // The raw listener answers as if each connection stayed open, then closes it.
    sb().setRawAnswer("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
    auto s = session();

    // Overlapping requests leave one connection each in the cache.
    constexpr int parallel = 8;
    auto answered = std::make_shared<std::atomic<int>>(0);
    for (int i = 0; i < parallel; ++i) {
      s->dataTask(url(base() + "/raw/" + std::to_string(i) + "?delay=150"), [answered](auto, auto,
                                                                                       auto error) {
         EXPECT_FALSE(error);
         *answered += 1;
       })->resume();
    }
    ASSERT_TRUE(zttest::runUntil([&] { return *answered == parallel; }));
    EXPECT_EQ(s->newConnectionCount(), static_cast<std::uint64_t>(parallel));
    ASSERT_TRUE(zttest::runUntil([] { return sb().rawOpenConnections() == 0; }));

    const std::string body = "{\"a\":1}";
    URLRequest post(url(base() + "/raw/after"));
    post.httpMethod = "POST";
    post.httpBody = Data(body.begin(), body.end());
    auto o = load(anotherSession ? session() : s, post);
    ASSERT_FALSE(o.error) << o.error->localizedDescription();
    EXPECT_EQ(text(*o.data), "ok");
    const auto records = sb().rawRequests();
    ASSERT_EQ(records.size(), static_cast<std::size_t>(parallel + 1));
    EXPECT_TRUE(records.back().bytes.ends_with(body));
    sb().setRawAnswer({});
  }
}

// A session answering on the main queue: the main thread takes its answers in while it waits
// for work, and the session thread does while the main thread is busy and never waits. Either
// way each handler runs once, on main, with the whole body.
TEST_F(SessionTests, MainQueueSessionHearsEachAnswerOnceWhetherMainWaitsOrIsBusy) {
  struct Row {
    const char* name;
    const char* path;
    std::size_t size;  // 0: any non-empty body
    bool mainWaits;
  };
  static constexpr Row kRows[] = {
      {"small answer, main waits", "/test/echo/small", 0, true},
      {"small answer, main busy", "/test/echo/small", 0, false},
      {"1 MB in chunks, main waits", "/test/download/1000000?chunk=65536", 1000000, true},
      {"1 MB in chunks, main busy", "/test/download/1000000?chunk=65536", 1000000, false},
  };
  auto s = URLSession::make(URLSessionConfiguration::defaultConfiguration(), nullptr,
                            OperationQueue::main());
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.name);
    struct Heard {
      int count = 0;
      std::size_t bytes = 0;
      bool onMain = true;
      std::optional<NSError> error;
    };
    auto heard = std::make_shared<Heard>();
    s->dataTask(url(base() + row.path), [heard](auto data, auto, auto error) {
       ++heard->count;
       heard->bytes = data ? data->size() : 0;
       heard->onMain = heard->onMain && Thread::isMainThread();
       heard->error = error;
     })->resume();
    const auto done = [&] { return heard->count > 0; };
    if (row.mainWaits) {
      ASSERT_TRUE(zttest::runUntil(done, 30));
    } else {
      // Serves the main queue without ever waiting in it.
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
      while (!done() && std::chrono::steady_clock::now() < deadline) {
        RunLoop::main().runPending();
        std::this_thread::yield();
      }
      ASSERT_TRUE(done());
    }
    RunLoop::main().runPending();
    EXPECT_EQ(heard->count, 1);
    EXPECT_FALSE(heard->error);
    EXPECT_TRUE(heard->onMain);
    if (row.size != 0) {
      EXPECT_EQ(heard->bytes, row.size);
    } else {
      EXPECT_GT(heard->bytes, 0u);
    }
  }
  s->finishTasksAndInvalidate();
}

// The main thread may be watching the socket of a task whose session goes away: the task ends
// cancelled, once, and the main thread lets go of the socket.
TEST_F(SessionTests, MainQueueSessionCancelledMidAnswerEndsItsTaskOnce) {
  auto count = std::make_shared<int>(0);
  auto error = std::make_shared<std::optional<NSError>>();
  {
    auto s = URLSession::make(URLSessionConfiguration::defaultConfiguration(), nullptr,
                              OperationQueue::main());
    s->dataTask(url(base() + "/test/delay/2000"), [count, error](auto, auto, auto e) {
       ++*count;
       *error = e;
     })->resume();
    RunLoop::main().runPending();
    s->invalidateAndCancel();
  }
  ASSERT_TRUE(zttest::runUntil([&] { return *count > 0; }, 10));
  // Another main-queue session still gets its answers after the first one's socket is gone.
  auto other = URLSession::make(URLSessionConfiguration::defaultConfiguration(), nullptr,
                                OperationQueue::main());
  auto answered = std::make_shared<bool>(false);
  other
      ->dataTask(url(base() + "/test/echo/after"),
                 [answered](auto, auto response, auto) { *answered = response != nullptr; })
      ->resume();
  EXPECT_TRUE(zttest::runUntil([&] { return *answered; }, 10));
  EXPECT_EQ(*count, 1);
  ASSERT_TRUE(error->has_value());
  EXPECT_EQ((*error)->code, NSURLErrorCancelled);
  other->finishTasksAndInvalidate();
}

// A main-queue session's download or file upload is read and written on the session thread.
// One kept connection first serves the session's answers on the main thread and its download
// on the session thread; then main watches none of it.
TEST_F(SessionTests,
       MainQueueSessionDownloadsAndUploadsFilesOnItsOwnThreadAndLeavesNoSocketToMain) {
  // The thread that reads the download's answer, and remarks on its end, writes its file.
  auto readOnMain = std::make_shared<std::atomic<bool>>(false);
  NetworkEnvironment::setTraceHandler([readOnMain](const NetworkTrace& trace) {
    if (trace.taskIdentifier == 2 && Thread::isMainThread()) *readOnMain = true;
  });
  auto recorder = std::make_shared<Recorder>();
  auto s = URLSession::make(URLSessionConfiguration::defaultConfiguration(), recorder,
                            OperationQueue::main());
  auto answered = std::make_shared<int>(0);
  const auto load = [&](const std::string& path) {
    s->dataTask(url(base() + path), [answered](auto, auto, auto) { ++*answered; })->resume();
  };
  load("/test/echo/first");
  ASSERT_TRUE(zttest::runUntil([&] { return *answered == 1; }));
  auto task = s->downloadTask(url(base() + "/test/download/300000?chunk=100000&pause=5"));
  ASSERT_EQ(task->taskIdentifier(), 2u);
  task->resume();
  ASSERT_TRUE(zttest::runUntil([&] { return recorder->completedCount() == 1; }));
  load("/test/echo/last");
  ASSERT_TRUE(zttest::runUntil([&] { return *answered == 2; }));
  EXPECT_EQ(recorder->downloadedFile().size(), 300000u);
  EXPECT_FALSE(*readOnMain);
  EXPECT_EQ(s->newConnectionCount(), 1u);
  EXPECT_EQ(RunLoopCore::MainQueue::shared().sourceCount(), 0u);
  s->finishTasksAndInvalidate();

  // Over HTTP/2 a data task stays in flight while the transfer runs, on its connection or on
  // another: the session thread serves every socket meanwhile, and main takes the data task's
  // back once the transfer is over.
  struct Row {
    const char* name;
    bool upload;       // from a file, else a download
    const char* host;  // of the transfer; the held data task's is api.dev.zentrel.com
  };
  static constexpr Row kRows[] = {
      {"download on the held task's connection", false, "api.dev.zentrel.com"},
      {"download on another connection", false, "id.dev.zentrel.com"},
      {"file upload on the held task's connection", true, "api.dev.zentrel.com"},
  };
  const std::string content = sandbox::testPattern(1, 300000);
  TempFile file(content);
  const auto watchedByMain = [] { return RunLoopCore::MainQueue::shared().sourceCount(); };
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.name);
    trustSandboxAfresh();
    Http2Peer peer(sb());
    for (const char* host : {"api.dev.zentrel.com", "id.dev.zentrel.com"}) {
      ASSERT_TRUE(NetworkEnvironment::addRoute(host, 443, "127.0.0.1", peer.port()));
    }
    recorder = std::make_shared<Recorder>();
    s = URLSession::make(URLSessionConfiguration::defaultConfiguration(), recorder,
                         OperationQueue::main());
    *answered = 0;
    const auto start = [&](const std::string& path) {
      s->dataTask(url("https://api.dev.zentrel.com" + path), [answered](auto, auto, auto) {
         ++*answered;
       })->resume();
    };
    // The peer sends a piece of it at first and one more after each other answer.
    start("/stream?size=600000&pieces=12");
    ASSERT_TRUE(peer.waitUntil([&] { return peer.requests("GET", "/stream") == 1; }));
    EXPECT_EQ(watchedByMain(), 1u);

    URLRequest request(url(std::string("https://") + row.host + "/stream?size=200000&pieces=2"));
    request.httpMethod = row.upload ? "POST" : "GET";
    auto transfer = row.upload
                        ? std::shared_ptr<URLSessionTask>(s->uploadTask(request, file.fileURL()))
                        : s->downloadTask(request);
    *readOnMain = false;
    NetworkEnvironment::setTraceHandler(
        [readOnMain, id = transfer->taskIdentifier()](const NetworkTrace& trace) {
          if (trace.taskIdentifier == id && Thread::isMainThread()) *readOnMain = true;
        });
    transfer->resume();
    // Its request is in and half its answer out; the rest waits for another answer.
    ASSERT_TRUE(peer.waitUntil([&] { return peer.requests("", "/stream") == 2; }));
    EXPECT_EQ(watchedByMain(), 0u);
    start("/echo");
    ASSERT_TRUE(zttest::runUntil([&] { return recorder->completedCount() == 1; }));
    EXPECT_EQ(watchedByMain(), 1u);

    s->invalidateAndCancel();
    ASSERT_TRUE(zttest::runUntil([&] { return *answered == 2; }));
    EXPECT_FALSE(*readOnMain);
    EXPECT_EQ(watchedByMain(), 0u);
    EXPECT_EQ(peer.connections(), std::string(row.host) == "api.dev.zentrel.com" ? 1u : 2u);
    const std::string answer = sandbox::testPattern(0, 200000);
    if (row.upload) {
      EXPECT_EQ(text(recorder->body()), answer);
      EXPECT_EQ(std::ranges::count(peer.bodies(), content), 1);
    } else {
      EXPECT_EQ(recorder->downloadedFile(), answer);
    }
  }
  NetworkEnvironment::setTraceHandler(nullptr);
}

TEST_F(SessionTests, ReleasedSessionStillFinishesItsTasks) {
  auto recorder = std::make_shared<Recorder>();
  std::weak_ptr<URLSession> weak;
  {
    auto s = session(recorder);
    weak = s;
    s->dataTask(url(base() + "/test/delay/300"))->resume();
  }
  ASSERT_TRUE(zttest::runUntil([&] { return recorder->completedCount() == 1; }));
  EXPECT_FALSE(recorder->events(Event::Kind::completed)[0].error);
  EXPECT_TRUE(json(recorder->body()).contains("path"));
  // Once its work is done nothing keeps it.
  EXPECT_TRUE(zttest::runUntil([&] { return weak.expired(); }));

  // With no one to tell, the ended task holds its session last, and lets it go where the
  // answer was taken in (on main, for the main queue) once the transport is free.
  {
    auto s = URLSession::make(URLSessionConfiguration::defaultConfiguration(), nullptr,
                              OperationQueue::main());
    weak = s;
    s->dataTask(url(base() + "/test/echo/unheard"))->resume();
  }
  EXPECT_TRUE(zttest::runUntil([&] { return weak.expired(); }));

  // A trace handler may hold a session last: it goes when the handler is replaced.
  {
    auto s = session();
    weak = s;
    NetworkEnvironment::setTraceHandler([s](const NetworkTrace&) {});
  }
  NetworkEnvironment::setTraceHandler(nullptr);
  EXPECT_TRUE(weak.expired());
}

// Sessions on queues of the host's own, invalidated and let go: the block that tells each
// delegate holds its session last, and lets it go on that queue's thread while the other
// session's thread works the transport both share.
TEST_F(SessionTests, InvalidatedSessionsOnHostQueuesGoOnceTheirDelegatesHeard) {
  constexpr int kSessions = 2;
  constexpr int kTasks = 3;
  std::vector<std::shared_ptr<OperationQueue>> queues;
  std::vector<std::shared_ptr<Recorder>> recorders;
  std::vector<std::weak_ptr<URLSession>> sessions;
  for (int i = 0; i < kSessions; ++i) {
    queues.push_back(std::make_shared<OperationQueue>());
    recorders.push_back(std::make_shared<Recorder>());
    auto s = URLSession::make(URLSessionConfiguration::defaultConfiguration(), recorders.back(),
                              queues.back());
    sessions.push_back(s);
    for (int k = 0; k < kTasks; ++k) {
      s->dataTask(url(base() + "/test/echo/" + std::to_string(i) + "-" + std::to_string(k)))
          ->resume();
    }
    s->finishTasksAndInvalidate();
  }
  ASSERT_TRUE(zttest::runUntil(
      [&] {
        return std::all_of(recorders.begin(), recorders.end(),
                           [](const auto& r) { return r->invalidated(); });
      },
      30));
  // An idle queue has let go of its blocks and what they held.
  for (const auto& queue : queues) queue->waitUntilAllOperationsAreFinished();
  for (int i = 0; i < kSessions; ++i) {
    EXPECT_TRUE(sessions[i].expired()) << i;
    const auto completed = recorders[i]->events(Event::Kind::completed);
    EXPECT_EQ(completed.size(), static_cast<std::size_t>(kTasks)) << i;
    for (const auto& e : completed) EXPECT_FALSE(e.error) << i;
  }
}

}  // namespace
}  // namespace nettest
