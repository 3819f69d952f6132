#pragma once

#include <optional>

#include "UIKit/UIColor.hpp"
#include "UIKit/UIControl.hpp"

namespace UIKit {

// Shown above a scroll view's content; a user pulling the content down far enough starts it
// refreshing and it sends valueChanged. The app calls `endRefreshing` when done.
class UIRefreshControl : public UIControl {
 public:
  using UIControl::UIControl;

  bool isRefreshing() const { return refreshing_; }
  // From code: no valueChanged, as on the platform.
  void beginRefreshing() { refreshing_ = true; }
  void endRefreshing() { refreshing_ = false; }
  // The spinner's colour; none is the platform's grey.
  std::optional<UIColor> tintColor() const { return tintColor_; }
  void setTintColor(std::optional<UIColor> color) { tintColor_ = color; }

 private:
  friend class UIScrollView;
  void pulled();

  bool refreshing_ = false;
  std::optional<UIColor> tintColor_;
};

}  // namespace UIKit
