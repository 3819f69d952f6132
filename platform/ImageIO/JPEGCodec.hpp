#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "CoreGraphics/CGImage.hpp"
#include "Foundation/Data.hpp"
#include "Foundation/Result.hpp"
#include "ImageIO/ImageIOError.hpp"

// The JPEG work behind ImageIO's sources and destinations, on TurboJPEG. Internal to ImageIO.
namespace ImageIO::jpeg {

// Where the segments before the image data stand, found without decoding anything.
struct Layout {
  struct Segment {
    std::size_t offset = 0;  // of the 0xFF marker
    std::size_t length = 0;  // marker, length field and payload
  };
  std::vector<Segment> app1;
  std::optional<int> orientation;  // from the first EXIF segment, when valid (1...8)
};

// Reads the markers up to the start of scan. A stream that is not a JPEG or ends early is an
// error.
Foundation::Result<Layout, ImageIOError> scan(Foundation::Bytes bytes);

// Width and height from the frame header.
struct Size {
  std::size_t width = 0;
  std::size_t height = 0;
};
Foundation::Result<Size, ImageIOError> readSize(Foundation::Bytes bytes);

// The whole image as RGBA8. A truncated or corrupt stream is an error even where the codec
// only warns.
Foundation::Result<std::shared_ptr<const CoreGraphics::CGImage>, ImageIOError> decode(
    Foundation::Bytes bytes);

// JPEG at `quality` (0...1) with the APP1 segments placed right after the start marker.
Foundation::Result<Foundation::Data, ImageIOError> encode(
    const CoreGraphics::CGImage& image, double quality,
    const std::vector<Foundation::Data>& app1Segments);

// The same JPEG as `encode` without segments, for any layout: rows are made a strip at a time
// (turned, mirrored, flattened onto black when `flatten`) as the encoder takes them, so no
// second full-size bitmap is made. `quality` is 1...100.
Foundation::Result<Foundation::Data, ImageIOError> encodeStrips(const CoreGraphics::CGImage& image,
                                                                int quality, bool flatten);
// Whether any pixel is less than opaque.
bool hasTranslucentPixel(const CoreGraphics::CGImage& image);

// EXIF helpers on whole APP1 segments.
bool isExifSegment(Foundation::Bytes segment);
std::optional<int> exifOrientation(Foundation::Bytes segment);
// Rewrites the orientation entry in place; false when the segment has none.
bool setExifOrientation(Foundation::Data& segment, int orientation);
// A minimal EXIF segment that holds only the orientation.
Foundation::Data exifSegmentWithOrientation(int orientation);

}  // namespace ImageIO::jpeg
