#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Foundation/RunLoop.hpp"
#include "QuartzCore/CABasicAnimation.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "UIKitTestSupport.hpp"

using namespace QuartzCore;

namespace {

class Recorder : public CAAnimationDelegate {
 public:
  void animationDidStart(CAAnimation&) override { ++starts; }
  void animationDidStop(CAAnimation&, bool finished) override { stops.push_back(finished); }
  int starts = 0;
  std::vector<bool> stops;
};

std::shared_ptr<CABasicAnimation> strokeAnimation(double from, double to, double duration,
                                                  const std::shared_ptr<Recorder>& delegate) {
  auto animation = std::make_shared<CABasicAnimation>("strokeEnd");
  animation->fromValue = from;
  animation->toValue = to;
  animation->duration = duration;
  animation->timingFunction = CAMediaTimingFunction(CAMediaTimingFunction::Name::linear);
  animation->delegate = delegate;
  return animation;
}

double strokeShown(const CALayer& layer) {
  return std::get<CGFloat>(*layer.presentationValue("strokeEnd"));
}

class LayerAnimations : public uikittest::ClockTest {
 protected:
  std::shared_ptr<CAShapeLayer> layer = std::make_shared<CAShapeLayer>();
  std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
};

}  // namespace

TEST_F(LayerAnimations, AnAnimationStopsWhenItsDurationHasPassedAndIsThenRemoved) {
  layer->add(strokeAnimation(0, 1, 2, recorder), "grow");
  EXPECT_EQ(recorder->starts, 0);  // told on a later turn
  Foundation::RunLoop::main().runPending();
  EXPECT_EQ(recorder->starts, 1);
  advance(1);
  EXPECT_NEAR(strokeShown(*layer), 0.5, 1e-9);
  EXPECT_TRUE(recorder->stops.empty());
  advance(1);
  EXPECT_EQ(recorder->stops, std::vector<bool>{true});
  EXPECT_EQ(layer->animation("grow"), nullptr);
  EXPECT_EQ(strokeShown(*layer), 1.0);  // the model value again
}

TEST_F(LayerAnimations, RemovingStopsItUnfinishedOnce) {
  layer->add(strokeAnimation(0, 1, 2, recorder), "a");
  layer->removeAnimation("a");
  advance(3);
  EXPECT_EQ(recorder->stops, std::vector<bool>{false});
  EXPECT_TRUE(layer->animationKeys().empty());
}
