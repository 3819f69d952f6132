// What `UIView::animate` animates: each changed property of a view becomes a layer animation
// from the old value to the new one, seen midway in the layer's presentation.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "QuartzCore/CABasicAnimation.hpp"
#include "UIKit/UIView.hpp"
#include "UIKitTestSupport.hpp"

using namespace UIKit;
using QuartzCore::CAValue;

namespace {

struct PropertyRow {
  const char* name;
  std::function<void(UIView&)> change;
  const char* keyPath;
  CAValue from, to;
};

// The numbers a value is made of, to compare values that went through the clock's arithmetic.
std::vector<double> numbers(const std::optional<CAValue>& value) {
  if (!value) return {};
  if (auto f = std::get_if<CGFloat>(&*value)) return {*f};
  if (auto p = std::get_if<CGPoint>(&*value)) return {p->x, p->y};
  if (auto r = std::get_if<CGRect>(&*value))
    return {r->origin.x, r->origin.y, r->size.width, r->size.height};
  if (auto t = std::get_if<QuartzCore::CATransform3D>(&*value))
    return {t->m11, t->m12, t->m21, t->m22, t->m41, t->m42};
  return {};
}

void expectNear(const std::optional<CAValue>& got, const CAValue& want) {
  const auto a = numbers(got);
  const auto b = numbers(want);
  ASSERT_EQ(a.size(), b.size());
  ASSERT_FALSE(b.empty());
  for (std::size_t i = 0; i < a.size(); ++i) EXPECT_NEAR(a[i], b[i], 1e-6) << "number " << i;
}

class AnimatedProperty : public uikittest::ClockTest,
                         public ::testing::WithParamInterface<PropertyRow> {};

TEST_P(AnimatedProperty, MovesTheLayerFromTheOldValueToTheNew) {
  const auto& row = GetParam();
  auto view = std::make_shared<UIView>(CGRect::make(0, 0, 100, 50));
  std::vector<bool> finished;
  UIView::animate(
      1, 0, UIView::AnimationOptions::curveLinear, [&] { row.change(*view); },
      [&](bool f) { finished.push_back(f); });

  std::vector<std::string> keyPaths;
  for (const auto& animation : view->layer()->allAnimations()) {
    if (auto basic = std::dynamic_pointer_cast<QuartzCore::CABasicAnimation>(animation))
      keyPaths.push_back(basic->keyPath);
  }
  EXPECT_EQ(keyPaths, std::vector<std::string>{row.keyPath});
  expectNear(view->layer()->presentationValue(row.keyPath), row.from);
  advance(0.5);
  expectNear(view->layer()->presentationValue(row.keyPath),
             QuartzCore::interpolate(row.from, row.to, 0.5));
  advance(0.5);
  EXPECT_EQ(finished, std::vector<bool>{true});
  EXPECT_TRUE(view->layer()->allAnimations().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Properties, AnimatedProperty,
    ::testing::Values(
        PropertyRow{"position",
                    [](UIView& v) {
                      v.setCenter({150, 25});
                    },
                    "position", CGPoint{50, 25}, CGPoint{150, 25}},
        PropertyRow{"bounds", [](UIView& v) { v.setBounds(CGRect::make(0, 0, 200, 50)); }, "bounds",
                    CGRect::make(0, 0, 100, 50), CGRect::make(0, 0, 200, 50)},
        PropertyRow{"opacity", [](UIView& v) { v.setAlpha(0); }, "opacity", CGFloat(1), CGFloat(0)},
        PropertyRow{"transform",
                    [](UIView& v) {
                      v.setTransform(CGAffineTransform::scale(2, 1).concatenating(
                          CGAffineTransform::translation(40, 0)));
                    },
                    "transform", QuartzCore::CATransform3DIdentity,
                    QuartzCore::CATransform3DMakeAffineTransform(
                        CGAffineTransform::scale(2, 1).concatenating(
                            CGAffineTransform::translation(40, 0)))}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ViewTransform, IsTheLayersTransformToo) {
  UIView view(CGRect::make(0, 0, 100, 50));
  const auto turn = CGAffineTransform::rotation(0.5).translatedBy(3, 4);
  view.setTransform(turn);
  const auto& t = view.layer()->transform;
  const CGPoint p{7, -2};
  const CGPoint mapped = applying(p, turn);
  EXPECT_DOUBLE_EQ(p.x * t.m11 + p.y * t.m21 + t.m41, mapped.x);
  EXPECT_DOUBLE_EQ(p.x * t.m12 + p.y * t.m22 + t.m42, mapped.y);
}

}  // namespace
