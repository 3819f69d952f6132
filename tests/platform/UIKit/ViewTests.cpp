#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Foundation/RunLoop.hpp"
#include "UIKit/UIView.hpp"
#include "UIKit/UIWindow.hpp"
#include "UIKitTestSupport.hpp"

using namespace UIKit;
using M = UIView::AutoresizingMask;

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

TEST(ViewHierarchy, SuperviewsOwnTheirSubviewsAndAreNotOwnedBack) {
  auto parent = view(0, 0, 100, 100);
  auto child = view(0, 0, 10, 10);
  std::weak_ptr<UIView> weakChild = child;
  std::weak_ptr<UIView> weakParent = parent;
  parent->addSubview(child);
  child.reset();
  ASSERT_FALSE(weakChild.expired());
  EXPECT_EQ(weakChild.lock()->superview(), parent);

  auto kept = weakChild.lock();
  parent.reset();
  EXPECT_TRUE(weakParent.expired());
  EXPECT_EQ(kept->superview(), nullptr);
}

TEST(ViewHierarchy, AddingMovesAViewAndOrderIsFrontLast) {
  auto a = view(0, 0, 100, 100);
  auto b = view(0, 0, 100, 100);
  auto x = view(0, 0, 1, 1);
  auto y = view(0, 0, 1, 1);
  auto z = view(0, 0, 1, 1);
  a->addSubview(x);
  a->addSubview(y);
  a->insertSubview(z, 0);
  EXPECT_EQ(a->subviews(), (std::vector<std::shared_ptr<UIView>>{z, x, y}));
  a->bringSubviewToFront(z);
  EXPECT_EQ(a->subviews().back(), z);
  b->addSubview(x);
  EXPECT_EQ(a->subviews(), (std::vector<std::shared_ptr<UIView>>{y, z}));
  EXPECT_EQ(x->superview(), b);
  x->removeFromSuperview();
  EXPECT_TRUE(b->subviews().empty());
  EXPECT_EQ(x->superview(), nullptr);

  // A view cannot hold itself or one of its ancestors.
  y->addSubview(a);
  a->addSubview(a);
  EXPECT_TRUE(y->subviews().empty());
  EXPECT_EQ(a->superview(), nullptr);
}

TEST(ViewHierarchy, KnowsItsWindowThroughItsAncestors) {
  auto window = std::make_shared<UIWindow>();
  auto outer = view(0, 0, 10, 10);
  auto inner = view(0, 0, 5, 5);
  outer->addSubview(inner);
  EXPECT_EQ(inner->window(), nullptr);
  window->addSubview(outer);
  EXPECT_EQ(inner->window(), window);
  EXPECT_TRUE(inner->isDescendant(*window));
  outer->removeFromSuperview();
  EXPECT_EQ(inner->window(), nullptr);
}

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

TEST(ViewAutoresizing, SubviewsFollowTheirSuperviewsSizeByTheirMask) {
  auto parent = view(0, 0, 100, 100);
  auto width = view(10, 10, 80, 20);
  width->setAutoresizingMask(M::flexibleWidth);
  auto centred = view(10, 40, 80, 20);
  centred->setAutoresizingMask(M::flexibleLeftMargin | M::flexibleRightMargin);
  auto bottom = view(0, 90, 100, 10);
  bottom->setAutoresizingMask(M::flexibleTopMargin | M::flexibleWidth);
  auto fixed = view(5, 5, 10, 10);
  for (auto& v : {width, centred, bottom, fixed}) parent->addSubview(v);

  parent->setFrame(CGRect::make(0, 0, 200, 300));
  expectRect(width->frame(), CGRect::make(10, 10, 180, 20));
  expectRect(centred->frame(), CGRect::make(60, 40, 80, 20));
  expectRect(bottom->frame(), CGRect::make(0, 290, 200, 10));
  expectRect(fixed->frame(), CGRect::make(5, 5, 10, 10));

  parent->setAutoresizesSubviews(false);
  parent->setFrame(CGRect::make(0, 0, 100, 100));
  expectRect(width->frame(), CGRect::make(10, 10, 180, 20));
}

TEST(ViewAutoresizing, AScaledSubviewKeepsItsScaleWhileItsBoundsFollow) {
  auto parent = view(0, 0, 375, 812);
  auto filler = std::make_shared<UIView>(parent->bounds());
  filler->setAutoresizingMask(M::flexibleWidth | M::flexibleHeight);
  filler->setTransform(CGAffineTransform::scale(2, 2));
  parent->addSubview(filler);
  parent->setBounds(CGRect::make(0, 0, 270, 60));
  expectRect(filler->bounds(), CGRect::make(0, 0, 270, 60));
  expectRect(filler->frame(), CGRect::make(135 - 270, 30 - 60, 540, 120));
}

class ViewAnimation : public uikittest::ClockTest {};

TEST_F(ViewAnimation, AppliesAtOnceAndCompletesWhenTheDurationHasPassed) {
  auto v = view(0, 0, 10, 10);
  int completions = 0;
  bool finishedFlag = false;
  UIView::animate(
      0.5, [&] { v->setAlpha(0); },
      [&](bool finished) {
        ++completions;
        finishedFlag = finished;
      });
  EXPECT_EQ(v->alpha(), 0);
  Foundation::RunLoop::main().runPending();
  advance(0.49);
  EXPECT_EQ(completions, 0);
  advance(0.01);
  EXPECT_EQ(completions, 1);
  EXPECT_TRUE(finishedFlag);
}

TEST_F(ViewAnimation, DisabledAnimationsCompleteOnTheNextTurnWithoutTime) {
  UIView::setAnimationsEnabled(false);
  int completions = 0;
  UIView::animate(10, nullptr, [&](bool) { ++completions; });
  EXPECT_EQ(completions, 0);  // never inline
  Foundation::RunLoop::main().runPending();
  EXPECT_EQ(completions, 1);
}
