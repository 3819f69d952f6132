#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/Data.hpp"

namespace ImageIO {

// The quality a destination writes at when none is asked for.
inline constexpr double kDefaultLossyCompressionQuality = 0.75;

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
  // What a PNG form of a bitmap would state (kCGImagePropertyHasAlpha, ColorModel, DPI).
  std::optional<bool> hasAlpha;
  std::optional<std::string> colorModel;
  std::optional<double> dpiWidth;
  std::optional<double> dpiHeight;
  // Only read by a destination: 0.0 (smallest) to 1.0 (best).
  std::optional<double> lossyCompressionQuality;

  bool operator==(const ImageProperties&) const = default;
};

}  // namespace ImageIO
