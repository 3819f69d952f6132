#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "UIKit/UIImage.hpp"

using UIKit::CGSize;
using UIKit::UIImage;

TEST(UIImage, MakesAFilledImageAtAScale) {
  const auto image = UIImage::withSize(CGSize{10, 5}, UIImage::RGBA{255, 0, 0, 255}, 2);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->pixelWidth(), 20u);
  EXPECT_EQ(image->pixelHeight(), 10u);
  EXPECT_EQ(image->scale(), 2);
  EXPECT_EQ(image->size(), (CGSize{10, 5}));
  EXPECT_EQ(image->imageOrientation(), UIImage::Orientation::Up);
  ASSERT_TRUE(image->hasPixels());
  EXPECT_EQ(image->pixels()->size(), 20u * 10u * 4u);
  EXPECT_EQ(image->pixelAt(19, 9), (UIImage::RGBA{255, 0, 0, 255}));
  EXPECT_FALSE(image->pixelAt(20, 0).has_value());

  const auto clear = UIImage::withSize(CGSize{1, 1});
  ASSERT_NE(clear, nullptr);
  EXPECT_EQ(clear->pixelAt(0, 0), (UIImage::RGBA{0, 0, 0, 0}));
}

TEST(UIImage, SizeInPointsFollowsTheOrientation) {
  using O = UIImage::Orientation;
  for (const auto o : {O::Up, O::Down, O::UpMirrored, O::DownMirrored}) {
    EXPECT_EQ(UIImage::withPixels(40, 30, std::nullopt, 2, o)->size(), (CGSize{20, 15}));
  }
  for (const auto o : {O::Left, O::Right, O::LeftMirrored, O::RightMirrored}) {
    EXPECT_EQ(UIImage::withPixels(40, 30, std::nullopt, 2, o)->size(), (CGSize{15, 20}));
  }
  EXPECT_EQ(static_cast<int>(O::RightMirrored), 7);
}

TEST(UIImage, RefusesSizesAndPixelBuffersThatDoNotFit) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(UIImage::withSize(CGSize{-1, 5}), nullptr);
  EXPECT_EQ(UIImage::withSize(CGSize{inf, 5}), nullptr);
  EXPECT_EQ(UIImage::withSize(CGSize{std::nan(""), 5}), nullptr);
  EXPECT_EQ(UIImage::withSize(CGSize{5, 5}, std::nullopt, 0), nullptr);
  EXPECT_EQ(UIImage::withSize(CGSize{100000, 100000}), nullptr);
  EXPECT_EQ(UIImage::withPixels(2, 2, UIImage::Pixels(15), 1), nullptr);

  const auto image = UIImage::withPixels(2, 1, UIImage::Pixels{1, 2, 3, 4, 5, 6, 7, 8});
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->pixelAt(1, 0), (UIImage::RGBA{5, 6, 7, 8}));
  const auto empty = UIImage::withPixels(3, 3, std::nullopt);
  ASSERT_NE(empty, nullptr);
  EXPECT_FALSE(empty->hasPixels());
  EXPECT_FALSE(empty->pixelAt(0, 0).has_value());
}
