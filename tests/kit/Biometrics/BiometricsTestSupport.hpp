#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/Result.hpp>
#include <Foundation/Thread.hpp>
#include <Testing/DeviceSecurity.hpp>

namespace biotest {

// Where a callback ran.
struct Place {
  std::thread::id thread;
  bool mainThread = false;
  bool globalDefaultQueue = false;
};

// Catches the calls of a result callback, from whatever thread they come. The callback
// shares its state, so a late call after a failed test touches nothing freed.
template <class R>
class Captured {
 public:
  std::function<void(R)> callback() {
    return [state = state_](R result) {
      std::lock_guard lock(state->mutex);
      ++state->calls;
      state->result.emplace(std::move(result));
      state->place = Place{std::this_thread::get_id(), Foundation::Thread::isMainThread(),
                           Dispatch::DispatchQueue::global(Dispatch::QoS::Default).isCurrent()};
      state->cv.notify_all();
    };
  }
  // The result, once it has come (at most 10 s of real time).
  std::optional<R> wait() {
    std::unique_lock lock(state_->mutex);
    state_->cv.wait_for(lock, std::chrono::seconds(10), [&] { return state_->result.has_value(); });
    return state_->result;
  }
  bool arrived() const {
    std::lock_guard lock(state_->mutex);
    return state_->result.has_value();
  }
  Place place() const {
    std::lock_guard lock(state_->mutex);
    return state_->place;
  }
  int calls() const {
    std::lock_guard lock(state_->mutex);
    return state_->calls;
  }

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable cv;
    std::optional<R> result;
    Place place;
    int calls = 0;
  };
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

// Every test starts on a fresh device (passcode, enrolled Face ID, sheets approved, empty
// keychain) and leaves none of its held sheets behind.
class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { PlatformTesting::Device::reset(); }
  void TearDown() override { PlatformTesting::Device::reset(); }
};

}  // namespace biotest
