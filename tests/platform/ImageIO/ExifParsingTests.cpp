#include <gtest/gtest.h>

#include <ImageIO/CGImageSource.hpp>

#include "support/CaptureSupport.hpp"

using Foundation::Data;
using ImageIO::CGImageSource;

namespace {

// A picture whose first segment is `app1`, written over the JFIF start.
Data withSegment(const Data& app1) {
  Data file = zttest::plainJPEG(16, 16);
  file.insert(file.begin() + 2, app1.begin(), app1.end());
  return file;
}

// A big-endian EXIF block with one IFD entry; `patch` bends it out of shape.
Data exif(const std::function<void(Data&)>& patch) {
  Data segment{0xFF, 0xE1, 0x00, 0x22, 'E',  'x',  'i',  'f',  0,    0,    'M',  'M',
               0x00, 0x2A, 0x00, 0x00, 0x00, 0x08, 0x00, 0x01, 0x01, 0x12, 0x00, 0x03,
               0x00, 0x00, 0x00, 0x01, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  patch(segment);
  return segment;
}

}  // namespace

TEST(ExifParsing, OrientationOnlyFromAWellFormedEntry) {
  struct Row {
    const char* name;
    std::function<void(Data&)> patch;
    std::optional<int> orientation;
  };
  const std::vector<Row> rows = {
      {"well formed", [](Data&) {}, 5},
      {"value out of range", [](Data& s) { s[29] = 9; }, std::nullopt},
      {"value zero", [](Data& s) { s[29] = 0; }, std::nullopt},
      {"wrong type", [](Data& s) { s[23] = 4; }, std::nullopt},
      {"two values", [](Data& s) { s[27] = 2; }, std::nullopt},
      {"IFD past the end", [](Data& s) { s[17] = 0xF0; }, std::nullopt},
      {"IFD offset wraps", [](Data& s) { s[14] = s[15] = s[16] = s[17] = 0xFF; }, std::nullopt},
      {"more entries than bytes, the first read", [](Data& s) { s[18] = s[19] = 0xFF; }, 5},
      {"more entries than bytes, none found",
       [](Data& s) {
         s[18] = s[19] = 0xFF;
         s[21] = 0x10;
       },
       std::nullopt},
      {"byte order unknown", [](Data& s) { s[10] = s[11] = 'X'; }, std::nullopt},
      {"not 42", [](Data& s) { s[13] = 0x2B; }, std::nullopt},
      {"other tag", [](Data& s) { s[21] = 0x13; }, std::nullopt},
      {"not EXIF", [](Data& s) { s[4] = 'X'; }, std::nullopt},
  };
  for (const auto& row : rows) {
    auto source = CGImageSource::createWithData(withSegment(exif(row.patch)));
    auto properties = source->copyProperties(0);
    ASSERT_TRUE(properties.isSuccess()) << row.name;  // a bad EXIF block is not a bad picture
    EXPECT_EQ(properties.value().orientation, row.orientation) << row.name;
    EXPECT_EQ(properties.value().app1Segments.size(), 1u) << row.name;
    EXPECT_TRUE(source->createImage(0).isSuccess()) << row.name;
  }
}

TEST(ExifParsing, SegmentLengthsThatDoNotFitAreErrors) {
  struct Row {
    const char* name;
    Data segment;
  };
  const std::vector<Row> rows = {
      {"length below two", {0xFF, 0xE1, 0x00, 0x01}},
      {"length past the end", {0xFF, 0xE1, 0xFF, 0xFF, 'E', 'x'}},
  };
  for (const auto& row : rows) {
    auto source = CGImageSource::createWithData(withSegment(row.segment));
    EXPECT_EQ(source->count(), 0u) << row.name;
    EXPECT_FALSE(source->copyProperties(0).isSuccess()) << row.name;
  }
  // Fill bytes before a marker are allowed and not part of the segment.
  Data padded = exif([](Data&) {});
  padded.insert(padded.begin(), 0xFF);
  auto properties = CGImageSource::createWithData(withSegment(padded))->copyProperties(0);
  ASSERT_TRUE(properties.isSuccess());
  EXPECT_EQ(properties.value().app1Segments.front(), exif([](Data&) {}));
}

TEST(ExifParsing, AnEXIFBlockWithoutOrientationGetsOneInFront) {
  Data noOrientation = exif([](Data& s) { s[21] = 0x10; });  // a Model entry instead
  auto source = CGImageSource::createWithData(withSegment(noOrientation));
  auto properties = source->copyProperties(0).value();
  EXPECT_FALSE(properties.orientation.has_value());
  properties.orientation = 8;
  auto destination = ImageIO::CGImageDestination::createWithData(ImageIO::kUTTypeJPEG, 1);
  destination->addImage(source->createImage(0).value(), properties);
  ASSERT_TRUE(destination->finalize().isSuccess());
  auto written = CGImageSource::createWithData(destination->data())->copyProperties(0).value();
  EXPECT_EQ(written.orientation, 8);
  ASSERT_EQ(written.app1Segments.size(), 2u);
  EXPECT_EQ(written.app1Segments[1], noOrientation);  // the original, untouched
}

TEST(ExifParsing, OfTwoEXIFBlocksTheFirstDecidesTheOrientation) {
  const auto turned = [](std::uint8_t value) { return exif([value](Data& s) { s[29] = value; }); };
  struct Row {
    const char* name;
    Data first, second;
    std::optional<int> orientation;
  };
  const std::vector<Row> rows = {
      {"both turned", turned(6), turned(3), 6},
      {"both turned, the other way", turned(3), turned(6), 3},
  };
  for (const auto& row : rows) {
    Data file = withSegment(row.second);
    file.insert(file.begin() + 2, row.first.begin(), row.first.end());
    auto properties = CGImageSource::createWithData(file)->copyProperties(0);
    ASSERT_TRUE(properties.isSuccess()) << row.name;
    EXPECT_EQ(properties.value().orientation, row.orientation) << row.name;
    EXPECT_EQ(properties.value().app1Segments, (std::vector<Data>{row.first, row.second}))
        << row.name;
  }
}
