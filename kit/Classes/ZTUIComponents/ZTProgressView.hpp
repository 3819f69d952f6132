#pragma once

#include <functional>
#include <memory>

#include <QuartzCore/CAAnimationDelegate.hpp>
#include <QuartzCore/CAShapeLayer.hpp>
#include <UIKit/UIColor.hpp>
#include <UIKit/UIView.hpp>

namespace ZentrelSDK {

// A progress ring drawn on another view's layer: a left-to-right gradient masked by a
// stroked circle that starts at twelve o'clock and runs clockwise; progress is the circle's
// stroke end. The object itself is never put in a view hierarchy; keep it to animate the
// ring.
class ZTProgressView : public UIKit::UIView, public QuartzCore::CAAnimationDelegate {
 public:
  // Builds the ring in `frame` (the host view's coordinates) as the topmost sublayer of
  // `onView`'s layer, showing `startValue` of the circle.
  ZTProgressView(UIKit::CGRect frame, UIKit::UIView& onView, const UIKit::UIColor& firstColor,
                 const UIKit::UIColor& secondColor, UIKit::CGFloat lineWidth,
                 UIKit::CGFloat startValue);

  std::shared_ptr<QuartzCore::CAShapeLayer> circleShapeLayer;
  UIKit::CGFloat currenProgress = 0;

  // Animates the drawn part from `from` to `to`; `completion` replaces the stored one and
  // runs whenever one of the ring's animations stops. The ring keeps showing `to` after.
  void animation(UIKit::CGFloat from, UIKit::CGFloat to, double duration,
                 std::function<void()> completion = nullptr);
  void animationDidStop(QuartzCore::CAAnimation& animation, bool finished) override;
  // Removes every ring (every sublayer named "circleShapeLayer") from the view's layer.
  void remove(UIKit::UIView& fromView);

 private:
  std::function<void()> animationCompletion;
};

}  // namespace ZentrelSDK
