// The engine's life, its event loop on the session thread and the commands other threads
// leave for it. Transfers, bodies, redirects and delegate calls have files of their own.
#include "Foundation/Networking/Engine.hpp"

#include <poll.h>
#include <sys/epoll.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "Foundation/Networking/CurlShare.hpp"
#include "Foundation/Networking/Transfer.hpp"
#include "Foundation/OperationQueue.hpp"

namespace Foundation::Networking {

namespace {
constexpr long kIdlePollMs = 5000;
// How long an answer for the main queue may wait for a busy main thread before this thread
// takes it in.
constexpr auto kMainBusy = std::chrono::milliseconds(2);
}  // namespace

// ---------------------------------------------------------------------------------------------
// Life of the engine

Engine::Engine(bool cookies, std::shared_ptr<OperationQueue> queue, bool served,
               std::shared_ptr<DelegateSlot> delegate)
    : cookies_(cookies),
      group_(cookies ? cookieGroup() : plainGroup()),
      queue_(std::move(queue)),
      served_(served),
      delegate_(std::move(delegate)) {
  initializeCurl();
  multi_ = curl_multi_init();
  if (multi_ == nullptr) {
    std::fprintf(stderr, "Foundation: the transfer engine could not be set up\n");
    std::abort();
  }
  // libcurl tells which sockets to watch and when to call back; the session thread waits on
  // them without libcurl, so a caller may start a transfer meanwhile.
  curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &Engine::onSocket);
  curl_multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
  curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &Engine::onTimer);
  curl_multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
  // Connections stay open for reuse across requests to the same host.
  curl_multi_setopt(multi_, CURLMOPT_MAXCONNECTS, 32L);
}

Engine::~Engine() {
  // The last owner may let go on another session's thread, inside that session's turn.
  std::unique_lock lock(group_.transport, std::defer_lock);
  if (!group_.transport.heldHere()) lock.lock();
  for (auto& [id, t] : transfers_) endHop(*t);
  transfers_.clear();
  for (CURL* easy : idle_) curl_easy_cleanup(easy);
  curl_multi_cleanup(multi_);
  for (const auto& [socket, watch] : watched_) {
    if (watch.onMain) RunLoopCore::MainQueue::shared().removeSource(socket);
  }
}

void Engine::stop() {
  stopping_ = true;
  wake();
}

void Engine::wake() {
  poller_.wake();
}

void Engine::post(std::function<void()> command) {
  {
    std::lock_guard lock(mutex_);
    commands_.push_back(std::move(command));
    commandsPending_.store(true);
  }
  // Pairs with run(): it marks itself polling before its last look at commandsPending_.
  if (polling_.load()) wake();
}

void Engine::runCommands() {
  std::deque<std::function<void()>> commands;
  {
    std::lock_guard lock(mutex_);
    commands.swap(commands_);
    commandsPending_.store(false);
  }
  for (auto& command : commands) command();
  if (!commands.empty()) {
    leaving_.push_back(std::make_shared<decltype(commands)>(std::move(commands)));
  }
}

void Engine::run() {
  std::unique_lock lock(group_.transport);
  std::array<epoll_event, 32> events{};
  int ready = 0;
  while (!stopping_) {
    runCommands();
    for (int i = 0; i < ready; ++i) act(events[i].data.fd, events[i].events);
    ready = 0;
    if (const auto now = std::chrono::steady_clock::now(); now - mainChecked_ >= kMainBusy) {
      mainChecked_ = now;
      serveBusyMain();
    }
    drive();
    checkTimeouts();
    const long wait = pollTimeoutMs();
    waitingUntil_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait);
    // From here the engine counts as waiting: whatever a caller leaves that cannot wait until
    // then (a command, a sooner timer, delegate work) wakes it.
    polling_.store(true);
    releaseAndHandOver(lock);
    if (!commandsPending_.load() && !stopping_) {
      ready = poller_.wait(events.data(), static_cast<int>(events.size()), wait / 1000.0);
    }
    lock.lock();
    polling_.store(false);
  }
  // Whatever is left still reaches the delegate, on the queue's own thread.
  for (auto& block : std::exchange(delegateBlocks_, {})) queue_->addOperation(std::move(block));
}

void Engine::releaseAndHandOver(std::unique_lock<TransportLock>& lock) {
  auto leaving = std::exchange(leaving_, {});  // goes last, with nothing held
  auto blocks = std::exchange(delegateBlocks_, {});
  if (served_) {
    lock.unlock();
    // Delegate code runs without the engine held: it may start tasks of its own. Only the
    // session thread gets here, so the blocks keep their order.
    for (auto& block : blocks) queue_->runHereOrAdd(std::move(block));
    return;
  }
  // A caller starting a task may take the engine next; its blocks wait for these.
  std::unique_lock handing(handingOver_, std::defer_lock);
  if (!blocks.empty()) handing.lock();
  lock.unlock();
  for (auto& block : blocks) queue_->addOperation(std::move(block));
}

void Engine::drive() {
  if (timerDue_ && std::chrono::steady_clock::now() >= *timerDue_) {
    timerDue_.reset();
    int running = 0;
    curl_multi_socket_action(multi_, CURL_SOCKET_TIMEOUT, 0, &running);
  }
  int left = 0;
  while (CURLMsg* msg = curl_multi_info_read(multi_, &left)) {
    if (msg->msg != CURLMSG_DONE) continue;
    const CURLcode code = msg->data.result;
    Transfer* t = nullptr;
    curl_easy_getinfo(msg->easy_handle, CURLINFO_PRIVATE, &t);
    if (t != nullptr) finished(*t, code);
  }
}

void Engine::act(curl_socket_t socket, std::uint32_t events) {
  int mask = 0;
  if (events & (EPOLLIN | EPOLLHUP)) mask |= CURL_CSELECT_IN;
  if (events & EPOLLOUT) mask |= CURL_CSELECT_OUT;
  if (events & EPOLLERR) mask |= CURL_CSELECT_ERR;
  int running = 0;
  curl_multi_socket_action(multi_, socket, mask, &running);
}

void Engine::wakeIfSooner() {
  const bool sooner = timerDue_ && *timerDue_ < waitingUntil_;
  // The session's own queue is served by the session thread only.
  if (polling_.load() && (sooner || (served_ && !delegateBlocks_.empty()))) wake();
}

void Engine::serveOnMain(curl_socket_t socket, std::uint32_t events) {
  // Not from inside a turn of this group (a nested run loop): the session thread has it.
  if (group_.transport.heldHere()) return;
  std::unique_lock lock(group_.transport);
  // Found ready just before the session thread took it over: it is that thread's now.
  const auto it = watched_.find(socket);
  if (it == watched_.end() || !it->second.onMain) return;
  act(socket, events);
  drive();
  wakeIfSooner();
  releaseAndHandOver(lock);
}

bool Engine::servedOnMain(CURL* easy) const {
  if (!queue_->isMain()) return false;
  Transfer* t = nullptr;
  curl_easy_getinfo(easy, CURLINFO_PRIVATE, &t);
  if (t == nullptr || needsThread(*t)) return false;
  // An HTTP/2 connection carries other transfers too, whose frames main would read.
  return !threadBound();
}

bool Engine::threadBound() const {
  return std::any_of(transfers_.begin(), transfers_.end(),
                     [](const auto& t) { return t.second->easy && needsThread(*t.second); });
}

bool Engine::needsThread(const Transfer& t) {
  // File bodies and downloads are read and written on the session thread, never on main.
  return t.mode == Mode::download || t.bodyFile || t.bodyStream;
}

void Engine::keepOffMain() {
  for (auto& [socket, watch] : watched_) {
    if (!watch.onMain) continue;
    RunLoopCore::MainQueue::shared().removeSource(socket);
    poller_.watch(socket, watch.events);
    watch.onMain = false;
  }
}

void Engine::handBackToMain() {
  // libcurl names a socket again only when what it waits for changes, which a transfer held
  // on a shared connection may never do.
  if (!queue_->isMain() || threadBound()) return;
  for (auto& [socket, watch] : watched_) {
    if (watch.onMain) continue;
    poller_.unwatch(socket);
    watchOnMain(socket, watch.events);
    watch.onMain = true;
  }
}

void Engine::watchOnMain(curl_socket_t socket, std::uint32_t events) {
  // The answer goes to the main queue anyway: the main thread takes it while it waits,
  // instead of this thread waking only to hand it over.
  if (!mainReady_) {
    mainReady_ = std::make_shared<const RunLoopCore::MainQueue::Ready>(
        [weak = weak_from_this()](int fd, std::uint32_t ready) {
          if (auto self = weak.lock()) self->serveOnMain(fd, ready);
        });
  }
  RunLoopCore::MainQueue::shared().addSource(socket, events, mainReady_);
}

int Engine::onSocket(CURL* easy, curl_socket_t socket, int what, void* user, void*) {
  auto& engine = *static_cast<Engine*>(user);
  if (what == CURL_POLL_REMOVE) {
    engine.unwatch(socket);
    return 0;
  }
  std::uint32_t events = 0;
  if (what & CURL_POLL_IN) events |= EPOLLIN;
  if (what & CURL_POLL_OUT) events |= EPOLLOUT;
  const bool onMain = engine.servedOnMain(easy);
  const auto it = engine.watched_.find(socket);
  if (it != engine.watched_.end() && it->second.onMain != onMain) engine.unwatch(socket);
  if (onMain) {
    engine.watchOnMain(socket, events);
  } else {
    engine.poller_.watch(socket, events);
  }
  engine.watched_[socket] = Watch{events, onMain};
  return 0;
}

void Engine::unwatch(curl_socket_t socket) {
  const auto it = watched_.find(socket);
  if (it == watched_.end()) return;
  if (it->second.onMain) {
    RunLoopCore::MainQueue::shared().removeSource(socket);
  } else {
    poller_.unwatch(socket);
  }
  watched_.erase(it);
}

void Engine::serveBusyMain() {
  std::vector<pollfd> sockets;
  for (const auto& [socket, watch] : watched_) {
    if (!watch.onMain) continue;
    short events = 0;
    if (watch.events & EPOLLIN) events |= POLLIN;
    if (watch.events & EPOLLOUT) events |= POLLOUT;
    sockets.push_back(pollfd{socket, events, 0});
  }
  if (sockets.empty() || ::poll(sockets.data(), sockets.size(), 0) <= 0) return;
  for (const auto& socket : sockets) {
    std::uint32_t events = 0;
    if (socket.revents & POLLIN) events |= EPOLLIN;
    if (socket.revents & POLLOUT) events |= EPOLLOUT;
    if (socket.revents & POLLERR) events |= EPOLLERR;
    if (socket.revents & POLLHUP) events |= EPOLLHUP;
    if (events != 0) act(socket.fd, events);
  }
}

int Engine::onTimer(CURLM*, long timeoutMs, void* user) {
  auto& engine = *static_cast<Engine*>(user);
  if (timeoutMs < 0) {
    engine.timerDue_.reset();
  } else {
    engine.timerDue_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  }
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Commands from other threads

void Engine::start(std::shared_ptr<URLSessionTask> task, std::shared_ptr<TaskState> state) {
  // When the engine is idle the caller sends the request itself: the session thread then
  // wakes only for the answer. A file or stream body is read, and a download written (a quick
  // answer may arrive while the request goes out), on the session thread, never here.
  // From inside a turn of this group (a trace handler, a body stream) it is left for the
  // session thread instead.
  if (!state->uploadFile && !task->originalRequest().httpBodyStream &&
      state->kind != TaskKind::download && !commandsPending_.load() &&
      !group_.transport.heldHere()) {
    std::unique_lock lock(group_.transport, std::try_to_lock);
    // libcurl may read other transfers' frames on a shared connection here.
    if (lock.owns_lock() && !commandsPending_.load() && !stopping_ && !threadBound()) {
      begin(task, state);
      drive();
      wakeIfSooner();
      if (!served_) return releaseAndHandOver(lock);
      // The session thread hands the blocks to its own queue; what ended here goes here.
      auto leaving = std::exchange(leaving_, {});
      lock.unlock();
      return;
    }
  }
  post([this, task = std::move(task), state = std::move(state)] { begin(task, state); });
}

void Engine::setSuspended(std::shared_ptr<URLSessionTask> task, bool suspended) {
  post([this, task = std::move(task), suspended] {
    if (Transfer* t = find(task->taskIdentifier())) {
      t->suspended = suspended;
      t->touch();
      applyPause(*t);
    }
  });
}

void Engine::cancel(std::shared_ptr<URLSessionTask> task, std::shared_ptr<TaskState> state) {
  post([this, task = std::move(task), state = std::move(state)] {
    Transfer* t = find(task->taskIdentifier());
    if (t == nullptr) {
      if (task->state() == URLSessionTask::State::completed) return;
      t = &adopt(task, state);  // never resumed: it still completes, cancelled
    }
    complete(*t, NSError::urlError(NSURLErrorCancelled, t->urlText()));
  });
}

void Engine::invalidate(std::shared_ptr<URLSession> session, bool cancelTasks) {
  post([this, session = std::move(session), cancelTasks] {
    if (invalidating_) return;
    invalidating_ = true;
    invalidatedSession_ = session;
    if (cancelTasks) {
      std::vector<std::uint64_t> ids;
      for (const auto& [id, t] : transfers_) ids.push_back(id);
      for (auto id : ids) {
        if (Transfer* t = find(id)) {
          complete(*t, NSError::urlError(NSURLErrorCancelled, t->urlText()));
        }
      }
    }
    checkInvalidation();
  });
}

void Engine::respond(std::shared_ptr<URLSessionTask> task, bool allow) {
  post([this, task = std::move(task), allow] {
    Transfer* t = find(task->taskIdentifier());
    if (t != nullptr && t->awaitingDisposition) answer(*t, allow);
  });
}

void Engine::redirectDecided(std::shared_ptr<URLSessionTask> task,
                             std::optional<URLRequest> request) {
  post([this, task = std::move(task), request = std::move(request)] {
    Transfer* t = find(task->taskIdentifier());
    if (t == nullptr || !t->awaitingRedirect) return;
    t->awaitingRedirect = false;
    if (request) {
      follow(*t, *request);
    } else {
      refuseRedirect(*t);
    }
  });
}

void Engine::checkTimeouts() {
  const double now = monotonicNow();
  std::vector<std::uint64_t> late;
  for (const auto& [id, t] : transfers_) {
    if (t->easy && !t->suspended && !t->awaitingDisposition &&
        now - t->lastActivity >= t->timeout) {
      late.push_back(id);
    }
  }
  for (auto id : late) {
    if (Transfer* t = find(id)) complete(*t, NSError::urlError(NSURLErrorTimedOut, t->urlText()));
  }
}

long Engine::pollTimeoutMs() const {
  double wait = kIdlePollMs / 1000.0;
  const double now = monotonicNow();
  if (timerDue_) {
    wait = std::min(
        wait, std::chrono::duration<double>(*timerDue_ - std::chrono::steady_clock::now()).count());
    if (wait <= 0) return 0;
  }
  for (const auto& [id, t] : transfers_) {
    if (t->easy && !t->suspended && !t->awaitingDisposition) {
      wait = std::min(wait, t->lastActivity + t->timeout - now);
    }
  }
  if (std::any_of(watched_.begin(), watched_.end(),
                  [](const auto& w) { return w.second.onMain; })) {
    wait = std::min(wait, std::chrono::duration<double>(kMainBusy).count());
  }
  return std::clamp(static_cast<long>(wait * 1000.0) + 1, 1L, kIdlePollMs);
}

}  // namespace Foundation::Networking
