// The encoder fed a strip of rows at a time, on libjpeg's own interface with the settings
// TurboJPEG's tjCompress2 uses (RGBA in, 4:2:0, its DCT choice), so a turned or cut view writes
// the same bytes its full copy would, without the copy.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "ImageIO/JPEGCodec.hpp"

namespace ImageIO::jpeg {

namespace {
using CoreGraphics::CGImage;
using Foundation::Data;

// Rows per strip: eight 4:2:0 block rows. A turned strip takes 512 bytes from each source row
// it visits, so a page is walked to once per strip and not once per block row.
constexpr std::size_t kStripRows = 128;

struct Failure {
  jpeg_error_mgr manager;  // first: the codec sees only this part
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void fail(j_common_ptr info) {
  auto* failure = reinterpret_cast<Failure*>(info->err);
  (*info->err->format_message)(info, failure->message);
  std::longjmp(failure->jump, 1);
}

// Writes into a Data that doubles when full.
struct Output {
  jpeg_destination_mgr manager;  // first
  Data* data;
};

void startOutput(j_compress_ptr info) {
  auto* out = reinterpret_cast<Output*>(info->dest);
  info->dest->next_output_byte = out->data->data();
  info->dest->free_in_buffer = out->data->size();
}

boolean growOutput(j_compress_ptr info) {
  auto* out = reinterpret_cast<Output*>(info->dest);
  const std::size_t used = out->data->size();  // the codec only asks when all of it is written
  bool grown = true;
  try {
    out->data->resize(used * 2);
  } catch (const std::bad_alloc&) {
    grown = false;
  }
  if (!grown) {
    info->err->msg_code = JERR_OUT_OF_MEMORY;
    (*info->err->error_exit)(reinterpret_cast<j_common_ptr>(info));
  }
  info->dest->next_output_byte = out->data->data() + used;
  info->dest->free_in_buffer = out->data->size() - used;
  return TRUE;
}

void finishOutput(j_compress_ptr info) {
  auto* out = reinterpret_cast<Output*>(info->dest);
  out->data->resize(out->data->size() - info->dest->free_in_buffer);
}

// Rows top...top + count of the image, packed into `strip`.
void fillStrip(const CGImage& image, bool flatten, std::size_t top, std::size_t count,
               std::uint8_t* strip) {
  const std::size_t width = image.width(), rowBytes = width * 4;
  const std::ptrdiff_t xStep = image.layout().xStep, yStep = image.layout().yStep;
  if (xStep == 4) {
    for (std::size_t j = 0; j < count; ++j)
      std::memcpy(strip + j * rowBytes, image.pixel(0, top + j), rowBytes);
  } else if (xStep == -4) {
    // Mirrored: rows read backwards.
    for (std::size_t j = 0; j < count; ++j) {
      const std::uint8_t* in = image.pixel(width - 1, top + j);
      std::uint8_t* out = strip + j * rowBytes + rowBytes;
      for (std::size_t x = 0; x < width; ++x, in += 4) std::memcpy(out - 4 * (x + 1), in, 4);
    }
  } else {
    // Turned: a strip's pixels of one column lie together in the source, so each source line
    // is read once. Each column is on another page: ask for the next ones early.
    constexpr std::size_t kAhead = 4;
    const bool together = yStep == 4 || yStep == -4;
    const std::uint8_t* first = image.pixel(0, top);
    const auto down = static_cast<std::ptrdiff_t>(count - 1) * yStep;
    for (std::size_t x = 0; x < width; ++x) {
      const auto column = static_cast<std::ptrdiff_t>(x) * xStep;
      if (together && x + kAhead < width) {
        const auto next = column + static_cast<std::ptrdiff_t>(kAhead) * xStep;
        const std::uint8_t* from = first + (next + std::min<std::ptrdiff_t>(down, 0));
        for (std::size_t k = 0; k < count * 4; k += 64) __builtin_prefetch(from + k);
      }
      std::uint8_t* out = strip + x * 4;
      for (std::size_t j = 0; j < count; ++j, out += rowBytes)
        std::memcpy(out, first + (column + static_cast<std::ptrdiff_t>(j) * yStep), 4);
    }
  }
  if (!flatten) return;
  for (std::size_t i = 0; i < count * rowBytes; i += 4) {
    const unsigned a = strip[i + 3];
    for (std::size_t c = 0; c < 3; ++c)
      strip[i + c] = static_cast<std::uint8_t>((strip[i + c] * a + 127) / 255);
    strip[i + 3] = 255;
  }
}

// No object with a destructor lives in this frame: a codec error jumps back into it.
bool compress(jpeg_compress_struct& info, Failure& failure, Output& output, const CGImage& image,
              int quality, bool flatten, std::uint8_t* strip, JSAMPROW* rows) {
  if (setjmp(failure.jump) != 0) return false;
  jpeg_create_compress(&info);
  info.dest = &output.manager;
  info.image_width = static_cast<JDIMENSION>(image.width());
  info.image_height = static_cast<JDIMENSION>(image.height());
  info.input_components = 4;
  info.in_color_space = JCS_EXT_RGBA;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  info.dct_method = quality >= 96 ? JDCT_ISLOW : JDCT_FASTEST;
  jpeg_set_colorspace(&info, JCS_YCbCr);
  info.comp_info[0].h_samp_factor = 2;
  info.comp_info[0].v_samp_factor = 2;
  for (int c = 1; c < 3; ++c) info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    const JDIMENSION top = info.next_scanline;
    const JDIMENSION count = std::min(static_cast<JDIMENSION>(kStripRows), info.image_height - top);
    fillStrip(image, flatten, top, count, strip);
    jpeg_write_scanlines(&info, rows, count);
  }
  jpeg_finish_compress(&info);
  return true;
}
}  // namespace

bool hasTranslucentPixel(const CGImage& image) {
  for (std::size_t y = 0; y < image.height(); ++y)
    for (std::size_t x = 0; x < image.width(); ++x)
      if (image.pixel(x, y)[3] != 255) return true;
  return false;
}

Foundation::Result<Data, ImageIOError> encodeStrips(const CGImage& image, int quality,
                                                    bool flatten) {
  const std::size_t width = image.width();
  const std::size_t stripRows = std::min(kStripRows, image.height());
  std::vector<std::uint8_t> strip(stripRows * width * 4);
  std::vector<JSAMPROW> rows(stripRows);
  for (std::size_t j = 0; j < stripRows; ++j) rows[j] = strip.data() + j * width * 4;
  Data data(width * image.height() / 2 + 65536);
  Failure failure{};
  Output output{};
  output.data = &data;
  output.manager.init_destination = startOutput;
  output.manager.empty_output_buffer = growOutput;
  output.manager.term_destination = finishOutput;
  jpeg_compress_struct info{};
  info.err = jpeg_std_error(&failure.manager);
  failure.manager.error_exit = fail;
  const bool done =
      compress(info, failure, output, image, quality, flatten, strip.data(), rows.data());
  jpeg_destroy_compress(&info);
  if (!done)
    return Foundation::failure(ImageIOError{ImageIOError::Code::encodingFailed, failure.message});
  return Foundation::success(std::move(data));
}

}  // namespace ImageIO::jpeg
