#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/Data.hpp>
#include <Foundation/RunLoop.hpp>
#include <Foundation/Thread.hpp>
#include <ImageIO/CGImageDestination.hpp>
#include <ImageIO/UTType.hpp>
#include <UIKit/UIImage.hpp>

// Helpers of the capture, photo-library and ImageIO tests.
namespace zttest {

// Values handed to a callback on any thread, with where each call ran. Copies share the
// calls: a callback holds a copy, so one that comes after the test returned records into
// live memory.
template <class T>
class Recorder {
 public:
  struct Call {
    T value;
    bool onMain = false;
    std::string queue;
  };
  void record(T value) const {
    std::lock_guard lock(state_->mutex);
    state_->calls.push_back(Call{std::move(value), Foundation::Thread::isMainThread(),
                                 Dispatch::DispatchQueue::currentLabel()});
  }
  std::vector<Call> calls() const {
    std::lock_guard lock(state_->mutex);
    return state_->calls;
  }
  std::size_t count() const {
    std::lock_guard lock(state_->mutex);
    return state_->calls.size();
  }
  // Serves the main run loop until `n` calls came, at most `seconds` of real time.
  bool waitFor(std::size_t n, double seconds = 10.0) const {
    return Foundation::RunLoop::main().runUntil([&] { return count() >= n; }, seconds);
  }

 private:
  struct State {
    std::mutex mutex;
    std::vector<Call> calls;
  };
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

// A JPEG of a plain colour, written through ImageIO.
inline Foundation::Data plainJPEG(std::size_t width, std::size_t height,
                                  UIKit::UIImage::RGBA color = {200, 40, 40, 255},
                                  ImageIO::ImageProperties properties = {}) {
  auto image =
      UIKit::UIImage::withSize({static_cast<double>(width), static_cast<double>(height)}, color);
  auto destination = ImageIO::CGImageDestination::createWithData(ImageIO::kUTTypeJPEG, 1);
  destination->addImage(image->cgImage(), properties);
  (void)destination->finalize();
  return destination->data();
}

}  // namespace zttest
