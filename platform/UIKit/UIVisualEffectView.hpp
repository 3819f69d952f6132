#pragma once

#include <memory>
#include <optional>

#include "UIKit/UIBlurEffect.hpp"
#include "UIKit/UIView.hpp"

namespace UIKit {

// A blurred backdrop; what it shows goes into its content view, which fills it.
class UIVisualEffectView : public UIView {
 public:
  explicit UIVisualEffectView(std::optional<UIBlurEffect> effect = std::nullopt);

  const std::optional<UIBlurEffect>& effect() const { return effect_; }
  void setEffect(std::optional<UIBlurEffect> effect) { effect_ = effect; }
  const std::shared_ptr<UIView>& contentView() const { return contentView_; }

 private:
  std::optional<UIBlurEffect> effect_;
  std::shared_ptr<UIView> contentView_;
};

}  // namespace UIKit
