#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "Foundation/Data.hpp"

namespace ImageIO {

// The properties of one image, as the platform's property dictionary would carry them
// (kCGImagePropertyOrientation, kCGImagePropertyPixelWidth/Height, the EXIF dictionary, and
// kCGImageDestinationLossyCompressionQuality on writing). A value: copy it to change it.
struct ImageProperties {
  std::optional<int> orientation;  // EXIF orientation 1...8
  std::optional<std::size_t> pixelWidth;
  std::optional<std::size_t> pixelHeight;
  // Every APP1 segment (EXIF, XMP) as it stands in the file, marker and length included.
  // A destination writes them back byte for byte.
  std::vector<Foundation::Data> app1Segments;
  // Only read by a destination: 0.0 (smallest) to 1.0 (best).
  std::optional<double> lossyCompressionQuality;

  bool operator==(const ImageProperties&) const = default;
};

}  // namespace ImageIO
