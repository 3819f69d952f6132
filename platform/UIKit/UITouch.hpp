#pragma once

#include <cstddef>
#include <memory>

#include "CoreGraphics/CGGeometry.hpp"

namespace UIKit {

class UIView;
class UIWindow;

// One finger on the screen, at a point of its window.
class UITouch {
 public:
  UITouch(std::shared_ptr<UIWindow> window, CGPoint locationInWindow, std::shared_ptr<UIView> view,
          int tapCount = 1, std::size_t index = 0);

  // In `view`'s coordinates; null: the window's.
  CGPoint location(const UIView* view) const;
  const std::shared_ptr<UIView>& view() const { return view_; }
  const std::shared_ptr<UIWindow>& window() const { return window_; }
  int tapCount() const { return tapCount_; }
  // Which finger of the gesture.
  std::size_t index() const { return index_; }

 private:
  std::shared_ptr<UIWindow> window_;
  CGPoint location_;
  std::shared_ptr<UIView> view_;
  int tapCount_;
  std::size_t index_;
};

}  // namespace UIKit
