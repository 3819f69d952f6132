#pragma once

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

 private:
  friend class UIScrollView;
  void pulled();

  bool refreshing_ = false;
};

}  // namespace UIKit
