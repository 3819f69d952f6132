#include "ZTUIComponents/ZTProgressView.hpp"

#include <numbers>

#include <QuartzCore/CABasicAnimation.hpp>
#include <QuartzCore/CAGradientLayer.hpp>
#include <UIKit/UIBezierPath.hpp>

#include "ZTLogger.hpp"

namespace ZentrelSDK {

namespace {
constexpr const char* kRingName = "circleShapeLayer";
}  // namespace

ZTProgressView::ZTProgressView(UIKit::CGRect frame, UIKit::UIView& onView,
                               const UIKit::UIColor& firstColor, const UIKit::UIColor& secondColor,
                               UIKit::CGFloat lineWidth, UIKit::CGFloat startValue)
    : UIView(frame) {
  using std::numbers::pi;
  circleShapeLayer = std::make_shared<QuartzCore::CAShapeLayer>();
  const UIKit::CGPoint centre{frame.width() / 2, frame.height() / 2};
  const UIKit::UIBezierPath circle(centre, frame.width() / 2 - lineWidth / 2, 3 * pi / 2,
                                   3 * pi / 2 + 2 * pi, true);
  circleShapeLayer->strokeEnd = startValue;
  circleShapeLayer->path = circle.cgPath();
  circleShapeLayer->fillColor = UIKit::CGColor{170 / 255.0, 170 / 255.0, 170 / 255.0, 0};
  circleShapeLayer->strokeColor = UIKit::UIColor::black().cgColor();
  circleShapeLayer->lineWidth = lineWidth;
  circleShapeLayer->lineCap = QuartzCore::CAShapeLayerLineCap::round;
  circleShapeLayer->zPosition = 1;

  auto gradient = std::make_shared<QuartzCore::CAGradientLayer>();
  gradient->setFrame(frame);
  gradient->colors = {firstColor.cgColor(), secondColor.cgColor()};
  gradient->startPoint = {0, 1};
  gradient->endPoint = {1, 1};
  gradient->setMask(circleShapeLayer);
  gradient->name = kRingName;
  circleShapeLayer->zPosition = 1;
  onView.layer()->addSublayer(gradient);
}

void ZTProgressView::animation(UIKit::CGFloat from, UIKit::CGFloat to, double duration,
                               std::function<void()> completion) {
  currenProgress = to;
  animationCompletion = std::move(completion);
  if (!circleShapeLayer) return;
  auto stroke = std::make_shared<QuartzCore::CABasicAnimation>("strokeEnd");
  stroke->fromValue = from;
  stroke->toValue = to;
  stroke->duration = duration;
  stroke->timingFunction =
      QuartzCore::CAMediaTimingFunction(QuartzCore::CAMediaTimingFunction::Name::linear);
  stroke->fillMode = QuartzCore::CAMediaTimingFillMode::both;
  stroke->isRemovedOnCompletion = false;
  auto self = std::static_pointer_cast<ZTProgressView>(weak_from_this().lock());
  if (self) {
    stroke->delegate = std::shared_ptr<QuartzCore::CAAnimationDelegate>(self);
  } else {
    ZTLogger::errorLog("ZTProgressView must be held by a shared_ptr to learn when it stops");
  }
  circleShapeLayer->add(stroke, std::nullopt);
}

void ZTProgressView::animationDidStop(QuartzCore::CAAnimation& /*animation*/, bool /*finished*/) {
  // A copy: the completion may start the next animation, which replaces it.
  if (auto completion = animationCompletion) completion();
}

void ZTProgressView::remove(UIKit::UIView& fromView) {
  // A snapshot: removal changes the list. A layer without sublayers has nothing to remove.
  const auto sublayers = fromView.layer()->sublayers();
  for (const auto& layer : sublayers) {
    if (layer->name == kRingName) layer->removeFromSuperlayer();
  }
}

}  // namespace ZentrelSDK
