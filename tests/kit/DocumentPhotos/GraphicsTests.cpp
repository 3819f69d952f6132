#include <cmath>
#include <limits>
#include <numbers>

#include <CoreGraphics/CGImage.hpp>
#include <UIKit/UIGraphics.hpp>

#include "DocumentPhotosSupport.hpp"

namespace photostest {
namespace {

using CoreGraphics::CGAffineTransform;
using CoreGraphics::CGRect;

TEST(Graphics, CroppingRoundsOutwardAndClips) {
  auto bitmap = UIImage::withData(quadrantJPEG(400, 300, 1))->cgImage();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* name;
    CGRect rect;
    std::size_t width, height;  // 0: no image
  } rows[] = {
      {"inside", CGRect::make(10, 20, 100, 50), 100, 50},
      {"fractions grow outward", CGRect::make(1.4, 15.5, 397.2, 268), 398, 269},
      {"noise stays put", CGRect::make(0, 0, 1000.0 / 3 * 3, 20.000000000001), 400, 20},
      {"past the edges is clipped", CGRect::make(300, 200, 500, 500), 100, 100},
      {"a negative size counts from its far edge", CGRect::make(100, 100, -50, -50), 50, 50},
      {"outside", CGRect::make(500, 0, 10, 10), 0, 0},
      {"empty", CGRect::make(10, 10, 0, 10), 0, 0},
      {"not finite", CGRect::make(nan, 0, 10, 10), 0, 0},
  };
  for (const auto& row : rows) {
    auto cut = bitmap->cropping(row.rect);
    EXPECT_EQ(cut ? cut->width() : 0, row.width) << row.name;
    EXPECT_EQ(cut ? cut->height() : 0, row.height) << row.name;
  }
  auto corner = UIImage::withCGImage(bitmap->cropping(CGRect::make(300, 200, 100, 100)));
  EXPECT_TRUE(near(corner->pixelAt(50, 50), kYellow));
}

TEST(Graphics, QuarterTurnsAreExact) {
  for (int quarter = 0; quarter <= 8; ++quarter) {
    const auto turned = CoreGraphics::applying(
        CGRect::make(0, 0, 300, 400), CGAffineTransform::rotation(quarter * std::numbers::pi / 2));
    EXPECT_EQ(turned.size.width, quarter % 2 ? 400 : 300) << quarter;
    EXPECT_EQ(turned.size.height, quarter % 2 ? 300 : 400) << quarter;
  }
}

TEST(Graphics, DrawingShowsTheImageAsDisplayed) {
  // Stored 40 × 20 landscape; each orientation shows its quadrants elsewhere.
  auto stored = UIImage::withData(quadrantJPEG(40, 20, 1));
  const struct {
    UIImage::Orientation orientation;
    RGBA topLeft, topRight, bottomLeft;
  } rows[] = {
      {UIImage::Orientation::Up, kRed, kGreen, kBlue},
      {UIImage::Orientation::Down, kYellow, kBlue, kGreen},
      {UIImage::Orientation::Right, kBlue, kRed, kYellow},
      {UIImage::Orientation::Left, kGreen, kYellow, kRed},
      {UIImage::Orientation::UpMirrored, kGreen, kRed, kYellow},
  };
  for (const auto& row : rows) {
    auto image = UIImage::withCGImage(stored->cgImage(), 1, row.orientation);
    const auto size = image->size();
    UIKit::UIGraphicsBeginImageContextWithOptions(size, false, 1);
    image->draw(CGRect{{0, 0}, size});
    auto drawn = UIKit::UIGraphicsGetImageFromCurrentImageContext();
    UIKit::UIGraphicsEndImageContext();
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(drawn->size().width, size.width);
    const auto c = corners(*drawn);
    EXPECT_TRUE(near(c[0], row.topLeft)) << static_cast<int>(row.orientation);
    EXPECT_TRUE(near(c[1], row.topRight)) << static_cast<int>(row.orientation);
    EXPECT_TRUE(near(c[2], row.bottomLeft)) << static_cast<int>(row.orientation);
  }
  UIKit::UIGraphicsBeginImageContextWithOptions({0, 10}, false, 1);
  EXPECT_EQ(UIKit::UIGraphicsGetCurrentContext(), nullptr);
  EXPECT_EQ(UIKit::UIGraphicsGetImageFromCurrentImageContext(), nullptr);
  UIKit::UIGraphicsEndImageContext();
}

TEST(Graphics, TranslucentPixelsAreFlattenedOntoBlack) {
  auto image = UIImage::withSize({16, 16}, RGBA{200, 100, 50, 0});
  auto data = image->jpegData(0.9);
  ASSERT_TRUE(data);
  auto back = UIImage::withData(*data);
  ASSERT_NE(back, nullptr);
  EXPECT_TRUE(near(back->pixelAt(8, 8), RGBA{0, 0, 0, 255}));
}

}  // namespace
}  // namespace photostest
