#include "UIKit/UIRefreshControl.hpp"

namespace UIKit {

void UIRefreshControl::pulled() {
  refreshing_ = true;
  sendActions(Event::valueChanged);
}

}  // namespace UIKit
