#include "ImageIO/JPEGCodec.hpp"

#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "ImageIO/ImageProperties.hpp"

namespace ImageIO::jpeg {

namespace {
using Foundation::Bytes;
using Foundation::Data;

// 50 MP is past any camera photo a device makes; a header claiming more would cost a huge
// allocation before a single row decodes.
constexpr double kMaxPixels = 50'000'000.0;
constexpr std::uint16_t kOrientationTag = 0x0112;

ImageIOError error(ImageIOError::Code code, std::string detail = {}) {
  return ImageIOError{code, std::move(detail)};
}

struct Handle {
  explicit Handle(tjhandle h) : h(h) {}
  ~Handle() {
    if (h) tjDestroy(h);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  tjhandle h;
};

std::uint16_t read16(Bytes b, std::size_t at, bool bigEndian) {
  return bigEndian ? static_cast<std::uint16_t>((b[at] << 8) | b[at + 1])
                   : static_cast<std::uint16_t>((b[at + 1] << 8) | b[at]);
}
std::uint32_t read32(Bytes b, std::size_t at, bool bigEndian) {
  const std::uint32_t hi = read16(b, at + (bigEndian ? 0 : 2), bigEndian);
  const std::uint32_t lo = read16(b, at + (bigEndian ? 2 : 0), bigEndian);
  return (hi << 16) | lo;
}

// Offset within the segment of the orientation entry's value, when there is a valid one.
std::optional<std::size_t> orientationValueOffset(Bytes segment) {
  constexpr std::size_t tiff = 10;  // FF E1, length, "Exif\0\0"
  if (!isExifSegment(segment) || segment.size() < tiff + 8) return std::nullopt;
  const bool big = segment[tiff] == 'M' && segment[tiff + 1] == 'M';
  const bool little = segment[tiff] == 'I' && segment[tiff + 1] == 'I';
  if ((!big && !little) || read16(segment, tiff + 2, big) != 42) return std::nullopt;
  const std::size_t ifd = tiff + read32(segment, tiff + 4, big);
  if (ifd < tiff || ifd + 2 > segment.size()) return std::nullopt;
  const std::size_t count = read16(segment, ifd, big);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = ifd + 2 + i * 12;
    if (entry + 12 > segment.size()) return std::nullopt;
    if (read16(segment, entry, big) != kOrientationTag) continue;
    if (read16(segment, entry + 2, big) != 3 || read32(segment, entry + 4, big) != 1)
      return std::nullopt;
    return entry + 8;
  }
  return std::nullopt;
}
}  // namespace

bool isExifSegment(Bytes segment) {
  static constexpr unsigned char header[] = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
  if (segment.size() < sizeof header) return false;
  return segment[0] == 0xFF && segment[1] == 0xE1 &&
         std::memcmp(segment.data() + 4, header + 4, 6) == 0;
}

std::optional<int> exifOrientation(Bytes segment) {
  const auto at = orientationValueOffset(segment);
  if (!at) return std::nullopt;
  const bool big = segment[10] == 'M';
  const int value = read16(segment, *at, big);
  if (value < 1 || value > 8) return std::nullopt;
  return value;
}

bool setExifOrientation(Data& segment, int orientation) {
  const auto at = orientationValueOffset(segment);
  if (!at || orientation < 1 || orientation > 8) return false;
  const bool big = segment[10] == 'M';
  segment[*at + (big ? 0 : 1)] = 0;
  segment[*at + (big ? 1 : 0)] = static_cast<std::uint8_t>(orientation);
  return true;
}

Data exifSegmentWithOrientation(int orientation) {
  // Big-endian TIFF with one IFD holding one SHORT entry.
  return Data{
      0xFF, 0xE1, 0x00, 0x22, 'E',  'x',  'i',  'f',  0x00, 0x00,
      'M',  'M',  0x00, 0x2A, 0x00, 0x00, 0x00, 0x08, 0x00, 0x01,
      0x01, 0x12, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, static_cast<std::uint8_t>(orientation),
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
}

Foundation::Result<Layout, ImageIOError> scan(Bytes bytes) {
  if (bytes.empty()) return Foundation::failure(error(ImageIOError::Code::emptyData));
  if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8)
    return Foundation::failure(error(ImageIOError::Code::unknownType));
  Layout layout;
  std::size_t pos = 2;
  while (true) {
    if (pos >= bytes.size()) return Foundation::failure(error(ImageIOError::Code::truncatedData));
    if (bytes[pos] != 0xFF)
      return Foundation::failure(error(ImageIOError::Code::corruptData, "marker expected"));
    while (pos < bytes.size() && bytes[pos] == 0xFF) ++pos;  // fill bytes
    if (pos >= bytes.size()) return Foundation::failure(error(ImageIOError::Code::truncatedData));
    const std::uint8_t marker = bytes[pos++];
    if (marker == 0xDA) break;  // start of scan: the image data follows
    if (marker == 0xD9 || marker == 0xD8 || marker == 0x00)
      return Foundation::failure(error(ImageIOError::Code::corruptData, "no image data"));
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
    if (pos + 2 > bytes.size())
      return Foundation::failure(error(ImageIOError::Code::truncatedData));
    const std::size_t length = (std::size_t{bytes[pos]} << 8) | bytes[pos + 1];
    if (length < 2) return Foundation::failure(error(ImageIOError::Code::corruptData));
    if (pos + length > bytes.size())
      return Foundation::failure(error(ImageIOError::Code::truncatedData));
    const std::size_t start = pos - 2;  // its last 0xFF: fill bytes are not part of it
    if (marker == 0xE1) {
      const Layout::Segment segment{start, pos + length - start};
      layout.app1.push_back(segment);
      if (!layout.orientation)
        layout.orientation = exifOrientation(bytes.subspan(segment.offset, segment.length));
    }
    pos += length;
  }
  return Foundation::success(std::move(layout));
}

Foundation::Result<Size, ImageIOError> readSize(Bytes bytes) {
  Handle handle(tjInitDecompress());
  if (!handle.h)
    return Foundation::failure(error(ImageIOError::Code::corruptData, tjGetErrorStr()));
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  if (tjDecompressHeader3(handle.h, bytes.data(), static_cast<unsigned long>(bytes.size()), &width,
                          &height, &subsampling, &colorspace) != 0)
    return Foundation::failure(error(ImageIOError::Code::corruptData, tjGetErrorStr2(handle.h)));
  if (width <= 0 || height <= 0) return Foundation::failure(error(ImageIOError::Code::corruptData));
  if (static_cast<double>(width) * height > kMaxPixels)
    return Foundation::failure(error(ImageIOError::Code::tooLarge));
  return Foundation::success(
      Size{static_cast<std::size_t>(width), static_cast<std::size_t>(height)});
}

Foundation::Result<std::shared_ptr<const CoreGraphics::CGImage>, ImageIOError> decode(Bytes bytes) {
  auto size = readSize(bytes);
  if (!size) return Foundation::failure(size.error());
  const auto [width, height] = size.value();
  Handle handle(tjInitDecompress());
  if (!handle.h)
    return Foundation::failure(error(ImageIOError::Code::corruptData, tjGetErrorStr()));
  auto pixels = std::make_shared<CoreGraphics::CGImage::Pixels>(width * height * 4);
  if (tjDecompress2(handle.h, bytes.data(), static_cast<unsigned long>(bytes.size()),
                    pixels->data(), static_cast<int>(width), 0, static_cast<int>(height), TJPF_RGBA,
                    0) != 0) {
    // The codec finishes a short or damaged stream with a warning; the picture is still bad.
    const std::string message = tjGetErrorStr2(handle.h);
    const bool premature = tjGetErrorCode(handle.h) == TJERR_WARNING &&
                           message.find("Premature end") != std::string::npos;
    return Foundation::failure(error(
        premature ? ImageIOError::Code::truncatedData : ImageIOError::Code::corruptData, message));
  }
  return Foundation::success(
      std::make_shared<const CoreGraphics::CGImage>(width, height, std::move(pixels), true));
}

// The encoded file with `segments` right after its start-of-image marker, in one copy.
static Data withSegments(const unsigned char* jpeg, std::size_t size,
                         const std::vector<Data>& segments) {
  std::size_t total = size;
  for (const auto& segment : segments) total += segment.size();
  Data out(total);
  auto* at = std::copy_n(jpeg, 2, out.data());
  for (const auto& segment : segments) at = std::copy(segment.begin(), segment.end(), at);
  std::copy(jpeg + 2, jpeg + size, at);
  return out;
}

Foundation::Result<Data, ImageIOError> encode(const CoreGraphics::CGImage& image, double quality,
                                              const std::vector<Data>& app1Segments) {
  const std::size_t width = image.width(), height = image.height();
  if (width == 0 || height == 0 || !image.storage() ||
      (image.isPlain() && image.storage()->size() != width * height * 4))
    return Foundation::failure(error(ImageIOError::Code::noImage));
  const double q =
      std::isfinite(quality) ? std::clamp(quality, 0.0, 1.0) : kDefaultLossyCompressionQuality;
  const int tjQuality = std::clamp(static_cast<int>(std::lround(q * 100)), 1, 100);
  // JPEG has no alpha: translucent pixels are flattened onto black, always the same way.
  const bool flatten = !image.isOpaque() && hasTranslucentPixel(image);
  const auto& layout = image.layout();
  if (flatten || layout.xStep != 4 || layout.yStep <= 0) {
    // Turned, mirrored or flattened: rows are made a strip at a time as the encoder takes them.
    auto encoded = encodeStrips(image, tjQuality, flatten);
    if (!encoded) return Foundation::failure(encoded.error());
    const Data& jpeg = encoded.value();
    return Foundation::success(withSegments(jpeg.data(), jpeg.size(), app1Segments));
  }
  // Whole rows in order, maybe apart: the codec reads them where they are.
  Handle handle(tjInitCompress());
  if (!handle.h)
    return Foundation::failure(error(ImageIOError::Code::encodingFailed, tjGetErrorStr()));
  unsigned char* buffer = nullptr;  // grown by the codec as it writes
  unsigned long size = 0;
  if (tjCompress2(handle.h, image.pixel(0, 0), static_cast<int>(width),
                  static_cast<int>(layout.yStep), static_cast<int>(height), TJPF_RGBA, &buffer,
                  &size, TJSAMP_420, tjQuality, 0) != 0) {
    const std::string message = tjGetErrorStr2(handle.h);
    tjFree(buffer);
    return Foundation::failure(error(ImageIOError::Code::encodingFailed, message));
  }
  Data out = withSegments(buffer, size, app1Segments);
  tjFree(buffer);
  return Foundation::success(std::move(out));
}

}  // namespace ImageIO::jpeg
