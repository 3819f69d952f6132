#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>

#include <CoreGraphics/CGContext.hpp>
#include <ImageIO/CGImageDestination.hpp>
#include <ImageIO/UTType.hpp>
#include <UIKit/UIImage.hpp>

using CoreGraphics::CGAffineTransform;
using CoreGraphics::CGImage;
using CoreGraphics::CGRect;
using Foundation::Data;

namespace {

// A grainy picture, the same for the same size; `alpha` on every pixel.
std::shared_ptr<const CGImage> grain(std::size_t width, std::size_t height, std::uint8_t alpha) {
  auto pixels = std::make_shared<CGImage::Pixels>(width * height * 4);
  std::uint32_t seed = static_cast<std::uint32_t>(width * 131 + height);
  for (std::size_t i = 0; i < pixels->size(); i += 4) {
    for (std::size_t c = 0; c < 3; ++c) {
      seed = seed * 1664525u + 1013904223u;
      (*pixels)[i + c] = static_cast<std::uint8_t>(seed >> 24);
    }
    (*pixels)[i + 3] = alpha;
  }
  return CGImage::make(width, height, std::move(pixels));
}

// The JPEG a destination writes for `image`, with EXIF orientation 6.
Data encode(const std::shared_ptr<const CGImage>& image, double quality) {
  auto destination = ImageIO::CGImageDestination::createWithData(ImageIO::kUTTypeJPEG, 1);
  ImageIO::ImageProperties properties;
  properties.orientation = 6;
  properties.lossyCompressionQuality = quality;
  destination->addImage(image, properties);
  EXPECT_TRUE(destination->finalize().isSuccess());
  return destination->data();
}

// A camera photo of the grain: decoded from a JPEG stored sideways (EXIF 6).
std::shared_ptr<UIKit::UIImage> cameraPhoto(std::size_t width, std::size_t height) {
  return UIKit::UIImage::withData(encode(grain(width, height, 255), 0.9));
}

// `image` turned by quarter turns about its centre (and mirrored left to right) into a bitmap of
// the turned size, as the photo preview turns a picture. `alreadyDrawn`: the bitmap had a draw
// before, which covered none of it, so this one writes every pixel.
std::shared_ptr<const CGImage> turned(const CGImage& image, int quarters, bool alreadyDrawn,
                                      bool mirrored = false) {
  const bool sideways = quarters % 2 != 0;
  const auto w = static_cast<double>(image.width()), h = static_cast<double>(image.height());
  auto context =
      CoreGraphics::CGContext::makeBitmap(sideways ? image.height() : image.width(),
                                          sideways ? image.width() : image.height(), false, 1);
  if (alreadyDrawn) context->draw(image, CGAffineTransform::translation(-4 * w, -4 * h));
  context->translateBy((sideways ? h : w) / 2, (sideways ? w : h) / 2);
  context->rotate(quarters * std::numbers::pi / 2);
  if (mirrored) context->scaleBy(-1, 1);
  context->draw(image, CGAffineTransform::translation(-w / 2, -h / 2));
  return context->makeImage();
}

// A plain copy of the image's pixels, as an image that owns them.
std::shared_ptr<const CGImage> packed(const CGImage& image) {
  auto copy = CGImage::make(image.width(), image.height(),
                            std::make_shared<CGImage::Pixels>(image.pixels()));
  return image.isOpaque() ? copy->markedOpaque() : copy;
}

}  // namespace

// A cut shares the decoded pixels and a turn only records itself; the stored JPEG is still the
// one the packed, drawn copy gives, byte for byte.
TEST(ImageIOViews, CutAndTurnedPicturesEncodeAsTheirPackedCopies) {
  const struct {
    std::size_t width, height;
    std::optional<CGRect> cut;
    int quarters;
    double quality;
    bool mirrored = false;
  } rows[] = {
      {37, 23, CGRect::make(3, 5, 29, 17), 0, 0.9},
      {37, 23, CGRect::make(3, 5, 29, 17), 1, 0.9},
      {37, 23, CGRect::make(3, 5, 29, 17), 2, 0.9},
      {37, 23, CGRect::make(3, 5, 29, 17), 3, 0.9},
      {37, 23, CGRect::make(3, 5, 29, 17), 0, 0.9, true},
      {37, 23, CGRect::make(3, 5, 29, 17), 1, 0.9, true},
      {37, 23, CGRect::make(3, 5, 29, 17), 2, 0.9, true},
      {64, 48, std::nullopt, 1, 0.75},
      {101, 67, CGRect::make(1.4, 0.6, 98.2, 65.9), 3, 1.0},
      {33, 130, CGRect::make(0, 17, 33, 99), 1, 0.5},
      {300, 200, CGRect::make(7, 3, 281, 190), 1, 0.8},
      // The top rows at full width: the cut's rows start where the buffer does.
      {50, 40, CGRect::make(0, 0, 50, 30), 0, 0.9},
      {50, 40, CGRect::make(0, 0, 50, 30), 1, 0.9},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.width << "x" << row.height << ", " << row.quarters
                                    << " quarter turns, quality " << row.quality
                                    << (row.mirrored ? ", mirrored" : ""));
    const auto photo = cameraPhoto(row.width, row.height);
    ASSERT_TRUE(photo);
    EXPECT_EQ(photo->imageOrientation(), UIKit::UIImage::Orientation::Right);
    const auto decoded = photo->cgImage();
    const auto cut = row.cut ? decoded->cropping(*row.cut) : decoded;
    ASSERT_TRUE(cut);
    const auto view = turned(*cut, row.quarters, false, row.mirrored);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->storage(), decoded->storage()) << "no copy before the encoder";

    const auto drawn = turned(*packed(*cut), row.quarters, true, row.mirrored);
    ASSERT_EQ(view->width(), drawn->width());
    ASSERT_EQ(view->height(), drawn->height());
    EXPECT_EQ(view->pixels(), drawn->pixels());
    EXPECT_EQ(encode(view, row.quality), encode(drawn, row.quality));
    // Through UIImage, as the kit stores it.
    const auto stored = UIKit::UIImage::withCGImage(view);
    EXPECT_EQ(stored->jpegData(row.quality),
              UIKit::UIImage::withCGImage(drawn)->jpegData(row.quality));
    EXPECT_EQ(*stored->pixels(), drawn->pixels());
    EXPECT_EQ(stored->pixelAt(view->width() - 1, 0)->r, drawn->pixels()[(view->width() - 1) * 4]);
  }
}

// Translucent pixels go onto black the same way whether the picture is turned or not.
TEST(ImageIOViews, TranslucentTurnedPicturesFlattenAsTheirPackedCopies) {
  const struct {
    std::size_t width, height;
    std::uint8_t alpha;
    int quarters;
  } rows[] = {{31, 19, 128, 1}, {31, 19, 0, 3}, {16, 16, 254, 2}, {17, 9, 255, 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message()
                 << row.width << "x" << row.height << " alpha " << int{row.alpha});
    const auto image = grain(row.width, row.height, row.alpha);
    const auto view = turned(*image, row.quarters, false);
    const auto drawn = turned(*image, row.quarters, true);
    EXPECT_EQ(view->storage(), image->storage());
    // What the encoder makes of it: each colour times alpha, rounded, on an opaque picture.
    auto flat = std::make_shared<CGImage::Pixels>(drawn->pixels());
    for (std::size_t i = 0; i < flat->size(); i += 4) {
      for (std::size_t c = 0; c < 3; ++c)
        (*flat)[i + c] = static_cast<std::uint8_t>(((*flat)[i + c] * row.alpha + 127) / 255);
      (*flat)[i + 3] = 255;
    }
    const auto opaque = CGImage::make(drawn->width(), drawn->height(), flat)->markedOpaque();
    EXPECT_EQ(encode(view, 0.8), encode(opaque, 0.8));
    EXPECT_EQ(encode(drawn, 0.8), encode(opaque, 0.8));
  }
}

// A bitmap over part of a buffer names only pixels inside it.
TEST(ImageIOViews, BitmapsOverPartOfABufferStayInsideIt) {
  const auto buffer = std::make_shared<CGImage::Pixels>(10 * 8 * 4);
  const struct {
    std::size_t width, height;
    CGImage::Layout layout;
    bool made;
  } rows[] = {
      {10, 8, {0, 4, 40}, true},
      {4, 3, {2 * 40 + 3 * 4, 4, 40}, true},
      {7, 8, {3 * 4, 4, 40}, true},
      {8, 8, {3 * 4, 4, 40}, false},      // one column past the row's end
      {10, 8, {4, 4, 40}, false},         // past the buffer's end
      {8, 10, {7 * 40, -40, 4}, true},    // turned: columns from the bottom row up
      {8, 10, {6 * 40, -40, 4}, false},   // turned, one row short
      {10, 8, {39 * 4, -4, -40}, false},  // a step before the buffer's start
      {10, 8, {79 * 4, -4, -40}, true},   // upside down
      {0, 8, {0, 4, 40}, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message()
                 << row.width << "x" << row.height << " at " << row.layout.offset);
    const auto image = CGImage::make(row.width, row.height, buffer, row.layout);
    EXPECT_EQ(image != nullptr, row.made);
    if (image) {
      EXPECT_EQ(image->pixels().size(), row.width * row.height * 4);
    }
  }
  EXPECT_FALSE(CGImage::make(2, 2, nullptr, CGImage::Layout{0, 4, 8}));
}
