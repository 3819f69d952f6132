#include <gtest/gtest.h>

#include <ImageIO/CGImageDestination.hpp>
#include <ImageIO/CGImageSource.hpp>
#include <UIKit/UIImage.hpp>

#include "support/CaptureSupport.hpp"

using Foundation::Data;
using ImageIO::CGImageDestination;
using ImageIO::CGImageSource;
using ImageIO::ImageIOError;
using ImageIO::ImageProperties;

namespace {

// Little-endian EXIF with a camera make and orientation 3, and an XMP packet.
Data exifSegment() {
  return Data{0xFF, 0xE1, 0x00, 0x2E, 'E',  'x',  'i',  'f',  0,    0,    'I',  'I',
              0x2A, 0x00, 0x08, 0x00, 0x00, 0x00, 0x02, 0x00, 0x0F, 0x01, 0x02, 0x00,
              0x04, 0x00, 0x00, 0x00, 'Z',  'e',  'd',  0,    0x12, 0x01, 0x03, 0x00,
              0x01, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0,    0,    0,    0};
}
Data xmpSegment() {
  const std::string body = std::string("http://ns.adobe.com/xap/1.0/") + '\0' + "<x:xmpmeta/>";
  Data segment(body.size() + 4);
  segment[0] = 0xFF;
  segment[1] = 0xE1;
  segment[3] = static_cast<std::uint8_t>(body.size() + 2);
  std::copy(body.begin(), body.end(), segment.begin() + 4);
  return segment;
}

// A camera-like file: the picture with both segments right after its start marker.
Data cameraFile() {
  Data plain = zttest::plainJPEG(64, 48);
  Data file(plain.begin(), plain.begin() + 2);
  for (const auto& segment : {exifSegment(), xmpSegment()})
    file.insert(file.end(), segment.begin(), segment.end());
  file.insert(file.end(), plain.begin() + 2, plain.end());
  return file;
}

Data reencode(const Data& file, const ImageProperties& properties) {
  auto source = CGImageSource::createWithData(file);
  auto image = source->createImage(0);
  EXPECT_TRUE(image.isSuccess());
  auto destination = CGImageDestination::createWithData(ImageIO::kUTTypeJPEG, 1);
  destination->addImage(image.value(), properties);
  EXPECT_TRUE(destination->finalize().isSuccess());
  return destination->data();
}

}  // namespace

TEST(ImageIO, ExifAndOtherApp1SegmentsSurviveAReencodeByteForByte) {
  const Data file = cameraFile();
  auto properties = CGImageSource::createWithData(file)->copyProperties(0);
  ASSERT_TRUE(properties.isSuccess());
  EXPECT_EQ(properties.value().orientation, 3);
  ASSERT_EQ(properties.value().app1Segments.size(), 2u);
  EXPECT_EQ(properties.value().app1Segments[0], exifSegment());
  EXPECT_EQ(properties.value().app1Segments[1], xmpSegment());

  const Data again = reencode(file, properties.value());
  auto reread = CGImageSource::createWithData(again)->copyProperties(0);
  ASSERT_TRUE(reread.isSuccess());
  EXPECT_EQ(reread.value().app1Segments, properties.value().app1Segments);

  // A new orientation changes only that entry of the EXIF block.
  auto turned = properties.value();
  turned.orientation = 6;
  auto rotated = CGImageSource::createWithData(reencode(file, turned))->copyProperties(0);
  ASSERT_TRUE(rotated.isSuccess());
  EXPECT_EQ(rotated.value().orientation, 6);
  Data expected = exifSegment();
  expected[40] = 6;  // the low byte of the orientation value
  EXPECT_EQ(rotated.value().app1Segments[0], expected);
  EXPECT_EQ(rotated.value().app1Segments[1], xmpSegment());
}

TEST(ImageIO, CorruptTruncatedAndOversizedPicturesAreErrors) {
  const Data good = zttest::plainJPEG(64, 48);
  Data garbled = good;
  for (std::size_t i = garbled.size() / 2; i < garbled.size() - 2; ++i) garbled[i] = 0xFF;
  Data huge = good;
  for (std::size_t i = 2; i + 8 < huge.size(); ++i) {
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {  // frame header: height, width
      huge[i + 5] = huge[i + 7] = 0xFD;
      huge[i + 6] = huge[i + 8] = 0xE8;
      break;
    }
  }
  struct Row {
    const char* name;
    Data bytes;
  };
  const std::vector<Row> rows = {
      {"empty", {}},
      {"not a JPEG", Foundation::dataFromString("GIF89a, or anything else")},
      {"cut in the headers", Data(good.begin(), good.begin() + 30)},
      {"cut in the image data", Data(good.begin(), good.begin() + good.size() * 3 / 4)},
      {"garbled image data", garbled},
      {"65000 x 65000", huge},
  };
  for (const auto& row : rows) {
    auto source = CGImageSource::createWithData(row.bytes);
    EXPECT_FALSE(source->createImage(0).isSuccess()) << row.name;
    EXPECT_EQ(UIKit::UIImage::withData(row.bytes), nullptr) << row.name;
  }
  EXPECT_EQ(CGImageSource::createWithData({})->status()->code, ImageIOError::Code::emptyData);
  EXPECT_EQ(CGImageSource::createWithData(huge)->status()->code, ImageIOError::Code::tooLarge);
  EXPECT_EQ(CGImageSource::createWithData(Data(good.begin(), good.begin() + good.size() * 3 / 4))
                ->createImage(0)
                .error()
                .code,
            ImageIOError::Code::truncatedData);
}

TEST(ImageIO, DestinationRefusesWhatItCannotWrite) {
  EXPECT_EQ(CGImageDestination::createWithData("public.png", 1), nullptr);
  EXPECT_EQ(CGImageDestination::createWithData(ImageIO::kUTTypeJPEG, 2), nullptr);

  auto empty = CGImageDestination::createWithData(ImageIO::kUTTypeJPEG, 1);
  EXPECT_EQ(empty->finalize().error().code, ImageIOError::Code::noImage);
  EXPECT_EQ(empty->finalize().error().code, ImageIOError::Code::alreadyFinalized);
  EXPECT_TRUE(empty->data().empty());

  const auto bitmap =
      UIKit::UIImage::withSize({8, 8}, UIKit::UIImage::RGBA{1, 2, 3, 255})->cgImage();
  auto two = CGImageDestination::createWithData(ImageIO::kUTTypeJPEG, 1);
  two->addImage(bitmap);
  two->addImage(bitmap);
  EXPECT_EQ(two->finalize().error().code, ImageIOError::Code::tooManyImages);

  auto none = CGImageDestination::createWithData(ImageIO::kUTTypeJPEG, 1);
  none->addImage(nullptr);
  EXPECT_EQ(none->finalize().error().code, ImageIOError::Code::noImage);
}

TEST(ImageIO, UIImageRoundTripsThroughJPEGWithItsOrientation) {
  using O = UIKit::UIImage::Orientation;
  auto pixels = UIKit::UIImage::withSize({12, 6}, UIKit::UIImage::RGBA{90, 90, 90, 255});
  for (const auto orientation : {O::Up, O::Right, O::LeftMirrored, O::Down}) {
    auto image = UIKit::UIImage::withCGImage(pixels->cgImage(), 2, orientation);
    const auto data = image->jpegData(0.8);
    ASSERT_TRUE(data.has_value());
    auto decoded = UIKit::UIImage::withData(*data, 2);
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->imageOrientation(), orientation);
    EXPECT_EQ(decoded->size(), image->size());
  }
  EXPECT_FALSE(UIKit::UIImage::withPixels(4, 4, std::nullopt)->jpegData(0.8).has_value());
  // Lower quality, fewer bytes.
  auto noisy = CGImageSource::createWithData(cameraFile())->createImage(0).value();
  auto image = UIKit::UIImage::withCGImage(noisy);
  EXPECT_LT(image->jpegData(0.1)->size(), image->jpegData(1.0)->size());
}
