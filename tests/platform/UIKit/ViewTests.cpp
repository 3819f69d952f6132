#include <gtest/gtest.h>

#include <numbers>

#include "UIKit/UIView.hpp"
#include "UIKitTestSupport.hpp"

using namespace UIKit;

namespace {
std::shared_ptr<UIView> view(CGFloat x, CGFloat y, CGFloat w, CGFloat h) {
  return std::make_shared<UIView>(CGRect::make(x, y, w, h));
}

void expectRect(CGRect actual, CGRect expected) {
  EXPECT_NEAR(actual.origin.x, expected.origin.x, 1e-9);
  EXPECT_NEAR(actual.origin.y, expected.origin.y, 1e-9);
  EXPECT_NEAR(actual.size.width, expected.size.width, 1e-9);
  EXPECT_NEAR(actual.size.height, expected.size.height, 1e-9);
}
}  // namespace

TEST(ViewGeometry, FrameIsTheBoundsAroundTheCentreThroughTheTransform) {
  auto v = view(10, 20, 100, 50);
  EXPECT_EQ(v->center(), (CGPoint{60, 45}));
  v->setTransform(CGAffineTransform::scale(2, 2));
  expectRect(v->frame(), CGRect::make(60 - 100, 45 - 50, 200, 100));
  expectRect(v->bounds(), CGRect::make(0, 0, 100, 50));
  v->setTransform(CGAffineTransform::rotation(std::numbers::pi / 2));
  expectRect(v->frame(), CGRect::make(60 - 25, 45 - 50, 50, 100));
  v->setTransform(CGAffineTransform::identity());
  v->setCenter({0, 0});
  expectRect(v->frame(), CGRect::make(-50, -25, 100, 50));

  // Setting the frame of a scaled view sizes its bounds so the frame comes out as asked.
  v->setTransform(CGAffineTransform::scale(2, 2));
  v->setFrame(CGRect::make(0, 0, 80, 40));
  expectRect(v->frame(), CGRect::make(0, 0, 80, 40));
  expectRect(v->bounds(), CGRect::make(0, 0, 40, 20));
}

TEST(ViewGeometry, ConvertsPointsThroughOriginsBoundsAndTransforms) {
  auto root = view(0, 0, 375, 812);
  auto a = view(10, 10, 100, 100);
  auto b = view(20, 20, 50, 50);
  root->addSubview(a);
  a->addSubview(b);
  EXPECT_EQ(b->convertTo(CGPoint{0, 0}, root.get()), (CGPoint{30, 30}));
  EXPECT_EQ(b->convertTo(CGPoint{0, 0}, nullptr), (CGPoint{30, 30}));
  EXPECT_EQ(root->convertTo(CGPoint{30, 30}, b.get()), (CGPoint{0, 0}));

  a->setBounds(CGRect::make(5, 5, 100, 100));  // scrolled by 5
  EXPECT_EQ(b->convertTo(CGPoint{0, 0}, root.get()), (CGPoint{25, 25}));

  a->setBounds(CGRect::make(0, 0, 100, 100));
  a->setTransform(CGAffineTransform::scale(2, 2));  // about a's centre, (60, 60)
  EXPECT_EQ(b->convertTo(CGPoint{0, 0}, root.get()), (CGPoint{0, 0}));
  const CGPoint p{7, 9};
  const CGPoint back = b->convertFrom(b->convertTo(p, root.get()), root.get());
  EXPECT_NEAR(back.x, p.x, 1e-9);
  EXPECT_NEAR(back.y, p.y, 1e-9);
  expectRect(b->convertTo(b->bounds(), nullptr), CGRect::make(0, 0, 100, 100));
}
