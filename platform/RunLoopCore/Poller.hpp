// An epoll set with a wake-up of its own: one thread waits in it, any thread may wake it.
#pragma once

#include <sys/epoll.h>

#include "RunLoopCore/Clock.hpp"

namespace RunLoopCore {

class Poller {
 public:
  Poller();  // aborts when the kernel refuses one
  ~Poller();
  Poller(const Poller&) = delete;
  Poller& operator=(const Poller&) = delete;

  // For epoll_ctl: what the set watches.
  int fd() const { return epollFd_; }
  // Ends a wait in progress, or the next one.
  void wake() const;
  // Waits at most `seconds` (never less) for readiness and returns how many of `events` are
  // ready; a wake-up ends the wait but is not among them.
  int wait(epoll_event* events, int capacity, TimeInterval seconds) const;

 private:
  int epollFd_ = -1;
  int wakeFd_ = -1;
};

}  // namespace RunLoopCore
