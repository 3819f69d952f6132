// An epoll set with a wake-up of its own: one thread waits in it, any thread may wake it.
// Private to the platform.
#pragma once

#include <sys/epoll.h>

#include <chrono>
#include <cstdint>

#include "RunLoopCore/Clock.hpp"

namespace RunLoopCore {

class Poller {
 public:
  // `spins`: the waiting thread polls a short while before it sleeps, while that pays (wait()).
  explicit Poller(bool spins = false);  // aborts when the kernel refuses an epoll set
  ~Poller();
  Poller(const Poller&) = delete;
  Poller& operator=(const Poller&) = delete;

  // Readiness of `fd` (EPOLLIN, EPOLLOUT) ends a wait; watching it again replaces its events.
  void watch(int fd, std::uint32_t events) const;
  void unwatch(int fd) const;
  // Ends a wait in progress, or the next one.
  void wake() const;
  // Waits up to `seconds` for readiness, no less unless readiness or a wake-up ends it, and
  // returns how many of `events` are ready; a wake-up is not among them. One thread waits at a
  // time.
  //
  // A sleeping thread takes tens of microseconds to wake on a virtual machine, as long as a
  // small request and its answer over loopback. So while readiness keeps arriving within
  // kMaxSpin of a wait's start, a spinning poller polls up to twice as long as the last wait
  // took (at most kMaxSpin, never past the timeout) before it sleeps. An answer later than
  // kMaxSpin, or a wait that only a wake-up ended after the spin ran out, halves the spin; a
  // timeout ends it until answers come quickly again. With fewer than three CPUs it never
  // spins: the spinning thread would take the CPU of the one that answers.
  int wait(epoll_event* events, int capacity, TimeInterval seconds);

  static constexpr std::chrono::microseconds kMaxSpin{250};

 private:
  using Duration = std::chrono::steady_clock::duration;
  int block(epoll_event* events, int capacity, TimeInterval seconds) const;
  void learn(Duration waited, bool heard, bool woken, bool slept);

  int epollFd_ = -1;
  int wakeFd_ = -1;
  const bool spins_;
  Duration spinFor_{};  // the waiting thread's own
};

}  // namespace RunLoopCore
