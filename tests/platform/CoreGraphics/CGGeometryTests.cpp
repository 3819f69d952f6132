#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "CoreGraphics/CGGeometry.hpp"

using namespace CoreGraphics;

namespace {
void expectNear(const CGRect& a, const CGRect& b) {
  EXPECT_NEAR(a.origin.x, b.origin.x, 1e-9);
  EXPECT_NEAR(a.origin.y, b.origin.y, 1e-9);
  EXPECT_NEAR(a.size.width, b.size.width, 1e-9);
  EXPECT_NEAR(a.size.height, b.size.height, 1e-9);
}
void expectNear(const CGPoint& a, const CGPoint& b) {
  EXPECT_NEAR(a.x, b.x, 1e-9);
  EXPECT_NEAR(a.y, b.y, 1e-9);
}
}  // namespace

TEST(CGRect, ReadsEdgesOfTheStandardizedRect) {
  const auto r = CGRect::make(10, 20, 100, 50);
  EXPECT_EQ(r.minX(), 10);
  EXPECT_EQ(r.midX(), 60);
  EXPECT_EQ(r.maxX(), 110);
  EXPECT_EQ(r.minY(), 20);
  EXPECT_EQ(r.midY(), 45);
  EXPECT_EQ(r.maxY(), 70);

  const auto negative = CGRect::make(110, 70, -100, -50);
  EXPECT_EQ(negative.minX(), 10);
  EXPECT_EQ(negative.maxY(), 70);
  EXPECT_EQ(negative.width(), 100);
  EXPECT_EQ(negative.height(), 50);
  EXPECT_EQ(negative, r);
  EXPECT_EQ(negative.standardized().origin, (CGPoint{10, 20}));

  EXPECT_TRUE(CGRect::zero().isEmpty());
  EXPECT_TRUE(CGRect::make(5, 5, 0, 10).isEmpty());
  EXPECT_FALSE(r.isEmpty());
  EXPECT_TRUE(CGRect::null().isNull());
  EXPECT_TRUE(CGRect::null().isEmpty());
  EXPECT_NE(CGRect::null(), CGRect::zero());
}

TEST(CGRect, InsetsOffsetsAndCombines) {
  const auto r = CGRect::make(0, 0, 100, 50);
  EXPECT_EQ(r.insetBy(10, 5), CGRect::make(10, 5, 80, 40));
  EXPECT_EQ(r.insetBy(-10, -5), CGRect::make(-10, -5, 120, 60));
  EXPECT_TRUE(r.insetBy(60, 0).isNull());
  EXPECT_EQ(r.offsetBy(5, -5), CGRect::make(5, -5, 100, 50));

  EXPECT_EQ(r.intersection(CGRect::make(50, 25, 100, 100)), CGRect::make(50, 25, 50, 25));
  EXPECT_TRUE(r.intersection(CGRect::make(200, 0, 10, 10)).isNull());
  EXPECT_EQ(r.unioning(CGRect::make(150, 60, 10, 10)), CGRect::make(0, 0, 160, 70));
  EXPECT_EQ(r.unioning(CGRect::null()), r);

  EXPECT_TRUE(r.intersects(CGRect::make(99, 49, 10, 10)));
  EXPECT_FALSE(r.intersects(CGRect::make(100, 0, 10, 10)));  // touching edges only
  EXPECT_FALSE(r.intersects(CGRect::null()));
}

TEST(CGRect, ContainsPointsHalfOpenAndWholeRects) {
  const auto r = CGRect::make(0, 0, 100, 50);
  EXPECT_TRUE(r.contains(CGPoint{0, 0}));
  EXPECT_TRUE(r.contains(CGPoint{99.9, 49.9}));
  EXPECT_FALSE(r.contains(CGPoint{100, 10}));
  EXPECT_FALSE(r.contains(CGPoint{10, 50}));
  EXPECT_FALSE(r.contains(CGPoint{-0.1, 10}));
  EXPECT_TRUE(r.contains(CGRect::make(10, 10, 90, 40)));
  EXPECT_TRUE(r.contains(r));
  EXPECT_FALSE(r.contains(CGRect::make(10, 10, 91, 40)));
  EXPECT_FALSE(CGRect::null().contains(CGPoint{}));
}

TEST(CGAffineTransform, MapsPointsSizesAndRects) {
  const auto t = CGAffineTransform::translation(10, 20);
  EXPECT_EQ(applying(CGPoint{1, 2}, t), (CGPoint{11, 22}));
  EXPECT_EQ(applying(CGSize{3, 4}, t), (CGSize{3, 4}));  // sizes ignore translation
  EXPECT_EQ(applying(CGSize{3, 4}, CGAffineTransform::scale(2, -1)), (CGSize{6, -4}));

  const auto quarter = CGAffineTransform::rotation(std::numbers::pi / 2);
  expectNear(applying(CGPoint{1, 0}, quarter), CGPoint{0, 1});
  expectNear(applying(CGRect::make(0, 0, 100, 50), quarter), CGRect::make(-50, 0, 50, 100));

  // Scale first, then translate: the order of concatenating.
  const auto st = CGAffineTransform::scale(2, 3).concatenating(t);
  EXPECT_EQ(applying(CGPoint{1, 1}, st), (CGPoint{12, 23}));
  const auto ts = t.concatenating(CGAffineTransform::scale(2, 3));
  EXPECT_EQ(applying(CGPoint{1, 1}, ts), (CGPoint{22, 63}));
  // translatedBy/scaledBy apply the new step first.
  EXPECT_EQ(t.scaledBy(2, 3), st);
  EXPECT_EQ(CGAffineTransform::scale(2, 3).translatedBy(10, 20), ts);
  expectNear(applying(CGPoint{1, 0}, CGAffineTransform::identity().rotated(std::numbers::pi)),
             CGPoint{-1, 0});
}

TEST(CGAffineTransform, InvertsWhenItCan) {
  const auto t = CGAffineTransform::scale(2, 4)
                     .concatenating(CGAffineTransform::rotation(0.3))
                     .concatenating(CGAffineTransform::translation(5, -7));
  const auto back = t.concatenating(t.inverted());
  EXPECT_NEAR(back.a, 1, 1e-12);
  EXPECT_NEAR(back.b, 0, 1e-12);
  EXPECT_NEAR(back.c, 0, 1e-12);
  EXPECT_NEAR(back.d, 1, 1e-12);
  EXPECT_NEAR(back.tx, 0, 1e-12);
  EXPECT_NEAR(back.ty, 0, 1e-12);
  expectNear(applying(applying(CGPoint{3, 9}, t), t.inverted()), CGPoint{3, 9});

  const auto singular = CGAffineTransform::scale(0, 1);
  EXPECT_EQ(singular.inverted(), singular);
  EXPECT_TRUE(CGAffineTransform::identity().isIdentity());
  EXPECT_FALSE(t.isIdentity());
}
