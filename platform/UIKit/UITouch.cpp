#include "UIKit/UITouch.hpp"

#include "UIKit/UIWindow.hpp"

namespace UIKit {

UITouch::UITouch(std::shared_ptr<UIWindow> window, CGPoint locationInWindow,
                 std::shared_ptr<UIView> view, int tapCount, std::size_t index)
    : window_(std::move(window)),
      location_(locationInWindow),
      view_(std::move(view)),
      tapCount_(tapCount),
      index_(index) {}

CGPoint UITouch::location(const UIView* view) const {
  if (!view) return location_;
  return view->convertFrom(location_, window_.get());
}

}  // namespace UIKit
