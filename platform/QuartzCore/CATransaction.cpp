#include "QuartzCore/CATransaction.hpp"

#include <algorithm>
#include <vector>

#include "Dispatch/DispatchQueue.hpp"

namespace QuartzCore {

namespace {
struct Frame {
  std::optional<Foundation::TimeInterval> duration;
  std::optional<CAMediaTimingFunction> timing;
  std::function<void()> completion;
  RunLoopCore::Nanoseconds end = 0;
};

RunLoopCore::Nanoseconds nowNanoseconds() {
  return Foundation::Clock::current().uptimeNanoseconds();
}
// Per thread, as the platform keeps one transaction stack per thread.
thread_local std::vector<Frame> frames;
}  // namespace

Foundation::TimeInterval CACurrentMediaTime() {
  return Foundation::Clock::current().now();
}

void CATransaction::begin() {
  Frame frame;
  frame.end = nowNanoseconds();
  frames.push_back(std::move(frame));
}

void CATransaction::commit() {
  if (frames.empty()) return;
  Frame frame = std::move(frames.back());
  frames.pop_back();
  // An outer transaction also waits for what the inner one added.
  if (!frames.empty()) frames.back().end = std::max(frames.back().end, frame.end);
  if (!frame.completion) return;
  const auto delay = std::max<RunLoopCore::Nanoseconds>(0, frame.end - nowNanoseconds());
  Dispatch::DispatchQueue::main().asyncAfter(RunLoopCore::toSeconds(delay),
                                             std::move(frame.completion));
}

void CATransaction::setAnimationDuration(Foundation::TimeInterval duration) {
  if (!frames.empty()) frames.back().duration = duration;
}

void CATransaction::setAnimationTimingFunction(std::optional<CAMediaTimingFunction> function) {
  if (!frames.empty()) frames.back().timing = function;
}

void CATransaction::setCompletionBlock(std::function<void()> block) {
  if (!frames.empty()) frames.back().completion = std::move(block);
}

Foundation::TimeInterval CATransaction::animationDuration() {
  for (auto it = frames.rbegin(); it != frames.rend(); ++it) {
    if (it->duration) return *it->duration;
  }
  return defaultDuration;
}

std::optional<CAMediaTimingFunction> CATransaction::animationTimingFunction() {
  for (auto it = frames.rbegin(); it != frames.rend(); ++it) {
    if (it->timing) return it->timing;
  }
  return std::nullopt;
}

void CATransaction::noteAnimationEnd(RunLoopCore::Nanoseconds end) {
  if (!frames.empty()) frames.back().end = std::max(frames.back().end, end);
}

}  // namespace QuartzCore
