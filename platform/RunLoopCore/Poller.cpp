#include "RunLoopCore/Poller.hpp"

#include <sched.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace RunLoopCore {

namespace {

using SteadyClock = std::chrono::steady_clock;

bool enoughCpusToSpin() {
  cpu_set_t cpus;
  CPU_ZERO(&cpus);
  return ::sched_getaffinity(0, sizeof cpus, &cpus) == 0 && CPU_COUNT(&cpus) >= 3;
}

}  // namespace

Poller::Poller(bool spins) : spins_(spins && enoughCpusToSpin()) {
  epollFd_ = ::epoll_create1(EPOLL_CLOEXEC);
  wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  epoll_event wake{};
  wake.events = EPOLLIN;
  wake.data.fd = wakeFd_;
  if (epollFd_ < 0 || wakeFd_ < 0 || ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &wake) != 0) {
    std::fprintf(stderr, "RunLoopCore: no epoll set could be made\n");
    std::abort();
  }
}

Poller::~Poller() {
  ::close(wakeFd_);
  ::close(epollFd_);
}

void Poller::watch(int fd, std::uint32_t events) const {
  epoll_event event{};
  event.events = events;
  event.data.fd = fd;
  if (::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &event) != 0 && errno == EEXIST) {
    ::epoll_ctl(epollFd_, EPOLL_CTL_MOD, fd, &event);
  }
}

void Poller::unwatch(int fd) const {
  ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
}

void Poller::wake() const {
  const std::uint64_t one = 1;
  while (::write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

int Poller::wait(epoll_event* events, int capacity, TimeInterval seconds) {
  const double clamped = std::clamp(seconds, 0.0, 86400.0);
  const auto began = SteadyClock::now();
  int ready = 0;
  if (spinFor_ > Duration::zero() && clamped > 0) {
    const auto deadline =
        began + std::chrono::ceil<Duration>(std::chrono::duration<double>(clamped));
    const auto until = std::min(began + spinFor_, deadline);
    do {
      ready = ::epoll_wait(epollFd_, events, capacity, 0);
    } while (ready == 0 && SteadyClock::now() < until);
  }
  const bool slept = ready <= 0;
  if (slept) {
    const double spun = std::chrono::duration<double>(SteadyClock::now() - began).count();
    ready = block(events, capacity, std::max(clamped - spun, 0.0));
  }
  int kept = 0;
  bool woken = false;
  for (int i = 0; i < ready; ++i) {
    if (events[i].data.fd != wakeFd_) {
      events[kept++] = events[i];
      continue;
    }
    woken = true;
    std::uint64_t count = 0;
    while (::read(wakeFd_, &count, sizeof count) < 0 && errno == EINTR) {
    }
  }
  if (spins_) learn(SteadyClock::now() - began, kept > 0, woken, slept);
  return kept;
}

int Poller::block(epoll_event* events, int capacity, TimeInterval seconds) const {
  timespec timeout{static_cast<time_t>(seconds), static_cast<long>(std::fmod(seconds, 1.0) * 1e9)};
  int ready = ::epoll_pwait2(epollFd_, events, capacity, &timeout, nullptr);
  if (ready < 0 && errno == ENOSYS) {
    ready = ::epoll_wait(epollFd_, events, capacity, static_cast<int>(std::ceil(seconds * 1000)));
  }
  return std::max(ready, 0);
}

void Poller::learn(Duration waited, bool heard, bool woken, bool slept) {
  if (heard) {
    // One late answer halves the spin rather than ending it: the machine may have paused.
    spinFor_ = waited <= kMaxSpin ? std::min<Duration>(2 * waited, kMaxSpin) : spinFor_ / 2;
  } else if (!woken) {
    spinFor_ = Duration::zero();  // timed out: nothing is coming back soon
  } else if (slept) {
    // Woken only after the spin ran out (a timer, a posted block): that spin bought nothing.
    spinFor_ /= 2;
  }
}

}  // namespace RunLoopCore
