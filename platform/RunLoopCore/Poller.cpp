#include "RunLoopCore/Poller.hpp"

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

Poller::Poller() {
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

void Poller::wake() const {
  const std::uint64_t one = 1;
  while (::write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

int Poller::wait(epoll_event* events, int capacity, TimeInterval seconds) const {
  const double clamped = std::clamp(seconds, 0.0, 86400.0);
  timespec timeout{static_cast<time_t>(clamped), static_cast<long>(std::fmod(clamped, 1.0) * 1e9)};
  int ready = ::epoll_pwait2(epollFd_, events, capacity, &timeout, nullptr);
  if (ready < 0 && errno == ENOSYS) {
    ready = ::epoll_wait(epollFd_, events, capacity, static_cast<int>(std::ceil(clamped * 1000)));
  }
  if (ready <= 0) return 0;
  int kept = 0;
  for (int i = 0; i < ready; ++i) {
    if (events[i].data.fd != wakeFd_) {
      events[kept++] = events[i];
      continue;
    }
    std::uint64_t count = 0;
    while (::read(wakeFd_, &count, sizeof count) < 0 && errno == EINTR) {
    }
  }
  return kept;
}

}  // namespace RunLoopCore
