#include "RunLoopCore/MainQueue.hpp"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>

namespace RunLoopCore {

namespace {
double realNow() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Waits at most `seconds` (never less, so a deadline is not missed by rounding).
int waitFor(int epollFd, epoll_event* events, int capacity, TimeInterval seconds) {
  const double clamped = std::clamp(seconds, 0.0, 86400.0);
  timespec timeout{static_cast<time_t>(clamped), static_cast<long>(std::fmod(clamped, 1.0) * 1e9)};
  const int ready = ::epoll_pwait2(epollFd, events, capacity, &timeout, nullptr);
  if (ready >= 0 || errno != ENOSYS) return ready;
  return ::epoll_wait(epollFd, events, capacity, static_cast<int>(std::ceil(clamped * 1000)));
}
}  // namespace

MainQueue& MainQueue::shared() {
  static auto* queue = new MainQueue;
  return *queue;
}

MainQueue::MainQueue() {
  epollFd_ = ::epoll_create1(EPOLL_CLOEXEC);
  wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  epoll_event wake{};
  wake.events = EPOLLIN;
  wake.data.fd = wakeFd_;
  if (epollFd_ < 0 || wakeFd_ < 0 || ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &wake) != 0) {
    std::fprintf(stderr, "RunLoopCore: the main queue could not be set up\n");
    std::abort();
  }
}

void MainQueue::push(std::function<void()> block) {
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    blocks_.push_back(std::move(block));
    wake = std::exchange(waiting_, false);
  }
  if (wake) {
    const std::uint64_t one = 1;
    while (::write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
  }
}

std::optional<std::function<void()>> MainQueue::pop(TimeInterval wait) {
  const double deadline = realNow() + wait;
  std::unique_lock lock(mutex_);
  while (blocks_.empty()) {
    const double left = deadline - realNow();
    if (left <= 0) break;
    waiting_ = true;
    lock.unlock();
    serveSources(left);
    lock.lock();
    waiting_ = false;
  }
  if (blocks_.empty()) return std::nullopt;
  auto block = std::move(blocks_.front());
  blocks_.pop_front();
  return block;
}

void MainQueue::serveSources(TimeInterval wait) {
  std::array<epoll_event, 16> events{};
  const int ready = waitFor(epollFd_, events.data(), static_cast<int>(events.size()), wait);
  for (int i = 0; i < ready; ++i) {
    const int fd = events[i].data.fd;
    if (fd == wakeFd_) {
      std::uint64_t count = 0;
      while (::read(wakeFd_, &count, sizeof count) < 0 && errno == EINTR) {
      }
      continue;
    }
    std::shared_ptr<const Ready> handler;
    {
      std::lock_guard lock(sourcesMutex_);
      if (auto it = sources_.find(fd); it != sources_.end()) handler = it->second;
    }
    if (handler) (*handler)(fd, events[i].events);
  }
}

void MainQueue::addSource(int fd, std::uint32_t events, std::shared_ptr<const Ready> ready) {
  std::lock_guard lock(sourcesMutex_);
  epoll_event event{};
  event.events = events;
  event.data.fd = fd;
  if (::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &event) != 0 && errno == EEXIST) {
    ::epoll_ctl(epollFd_, EPOLL_CTL_MOD, fd, &event);
  }
  sources_[fd] = std::move(ready);
}

void MainQueue::removeSource(int fd) {
  std::lock_guard lock(sourcesMutex_);
  if (sources_.erase(fd) > 0) ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
}

void MainQueue::run(const std::function<void()>& block) {
  CurrentQueueScope scope(&tag_);
  block();
}

}  // namespace RunLoopCore
