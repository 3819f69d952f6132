#include "UIKit/UIVisualEffectView.hpp"

namespace UIKit {

UIVisualEffectView::UIVisualEffectView(std::optional<UIBlurEffect> effect)
    : effect_(effect), contentView_(std::make_shared<UIView>()) {
  contentView_->setAutoresizingMask(AutoresizingMask::flexibleWidth |
                                    AutoresizingMask::flexibleHeight);
  addSubview(contentView_);
}

}  // namespace UIKit
