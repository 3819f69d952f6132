#include <gtest/gtest.h>

#include "UIKit/UIImage.hpp"
#include "UIKitTestSupport.hpp"

using UIKit::CGSize;
using UIKit::UIImage;

TEST(ImageNamed, ReadsThePNGsSizeAndTheScaleOfItsName) {
  uikittest::TestBundle files;
  files.write("plain.png", uikittest::pngHeader(30, 20));
  files.write("retina@2x.png", uikittest::pngHeader(60, 40));
  files.write("broken.png", "not a png at all, just text");
  auto bundle = files.bundle();
  ASSERT_NE(bundle, nullptr);

  auto plain = UIImage::named("plain", bundle);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->size(), (CGSize{30, 20}));
  EXPECT_EQ(plain->scale(), 1);
  EXPECT_EQ(UIImage::named("plain", bundle), plain);  // read once

  auto retina = UIImage::named("retina", bundle);
  ASSERT_NE(retina, nullptr);
  EXPECT_EQ(retina->size(), (CGSize{30, 20}));
  EXPECT_EQ(retina->scale(), 2);

  EXPECT_EQ(UIImage::named("broken", bundle), nullptr);
  EXPECT_EQ(UIImage::named("missing", bundle), nullptr);
  EXPECT_EQ(UIImage::named("", bundle), nullptr);
  EXPECT_EQ(UIImage::named("../Test.bundle/plain", bundle), nullptr);
}
