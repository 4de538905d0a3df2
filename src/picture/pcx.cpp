// PCX: a 128-byte header, then run-length encoded rows of one plane.
//
// Two kinds are read: 8 bits a pixel with the 256-colour palette at the end of the file (a
// 0x0C byte, then 768 bytes of red, green, blue), and 1 bit a pixel, 0 black and 1 white.
//
// Each row holds bytes-per-line bytes, of which the first width (8-bit) or width/8 rounded up
// (1-bit) are pixels and the rest padding. A byte of the form 11nnnnnn repeats the next byte
// nnnnnn times; any other byte stands for itself.
//
// Choices the format leaves open, each giving no picture:
// - an 8-bit file without its palette (the image data then has nothing to index);
// - a run that reaches past the end of its row (every row is encoded on its own);
// - image data that ends before the last row;
// - bytes-per-line too short for the width.

#include <cstring>

#include "picture/image_util.h"

namespace miaohui {

namespace {

constexpr std::size_t header_size = 128;
constexpr std::size_t palette_size = 768;
constexpr std::uint8_t palette_marker = 0x0C;

std::uint32_t pack_rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  const std::uint8_t bytes[4] = {r, g, b, 0xFF};
  std::uint32_t word;
  std::memcpy(&word, bytes, 4);
  return word;
}

// Decodes `height` rows of `stride` encoded bytes, handing each run to put(row, x, n, value)
// with x + n <= stride. False when a run crosses its row or the data ends first.
template <typename PutRun>
bool decode_runs(std::span<const std::uint8_t> data, int height, std::size_t stride,
                 PutRun put) {
  const std::uint8_t* p = data.data();
  const std::uint8_t* const end = p + data.size();
  for (int y = 0; y < height; ++y) {
    std::size_t x = 0;
    while (x < stride) {
      if (p == end) return false;
      std::uint8_t value = *p++;
      std::size_t count = 1;
      if ((value & 0xC0) == 0xC0) {
        count = value & 0x3F;
        if (p == end) return false;
        value = *p++;
        if (count > stride - x) return false;
      }
      put(y, x, count, value);
      x += count;
    }
  }
  return true;
}

}  // namespace

Image decode_pcx(std::span<const std::uint8_t> bytes) {
  using detail::ByteReader;
  ByteReader in(bytes);
  const std::uint8_t maker = in.u8();
  const std::uint8_t version = in.u8();
  const std::uint8_t encoding = in.u8();
  const std::uint8_t bits = in.u8();
  const std::int64_t x_min = in.u16(), y_min = in.u16(), x_max = in.u16(), y_max = in.u16();
  ByteReader layout(bytes, 65);
  const std::uint8_t planes = layout.u8();
  const std::size_t bytes_per_line = layout.u16();
  if (!in.ok() || !layout.ok() || bytes.size() < header_size) return {};
  if (maker != 0x0A || encoding != 1 || planes != 1) return {};
  const bool eight_bit = bits == 8 && version <= 5;
  if (!eight_bit && !(bits == 1 && version == 3)) return {};

  const std::int64_t width = x_max - x_min + 1;
  const std::int64_t height = y_max - y_min + 1;
  if (!detail::picture_size_ok(width, height)) return {};
  const std::size_t row_bytes = static_cast<std::size_t>(eight_bit ? width : (width + 7) / 8);
  if (bytes_per_line < row_bytes) return {};

  std::uint32_t palette[256];
  std::span<const std::uint8_t> data = bytes.subspan(header_size);
  if (eight_bit) {
    if (data.size() < palette_size + 1) return {};
    const std::uint8_t* pal = bytes.data() + bytes.size() - palette_size;
    if (pal[-1] != palette_marker) return {};
    for (int i = 0; i < 256; ++i) palette[i] = pack_rgb(pal[3 * i], pal[3 * i + 1], pal[3 * i + 2]);
    data = data.first(data.size() - palette_size - 1);
  } else {
    palette[0] = pack_rgb(0, 0, 0);
    palette[1] = pack_rgb(0xFF, 0xFF, 0xFF);
  }

  Image image = detail::make_image(width, height);
  if (image.empty()) return {};
  std::uint8_t* const pixels = image.rgba.data();
  const std::size_t out_stride = static_cast<std::size_t>(width) * 4;
  bool ok;
  if (eight_bit) {
    ok = decode_runs(data, image.height, bytes_per_line,
                     [&](int y, std::size_t x, std::size_t n, std::uint8_t value) {
                       if (x >= row_bytes) return;  // padding
                       const std::size_t stop = x + n < row_bytes ? x + n : row_bytes;
                       std::uint8_t* dst = pixels + y * out_stride + x * 4;
                       const std::uint32_t colour = palette[value];
                       for (std::size_t i = x; i < stop; ++i, dst += 4) std::memcpy(dst, &colour, 4);
                     });
  } else {
    const std::size_t w = static_cast<std::size_t>(width);
    ok = decode_runs(data, image.height, bytes_per_line,
                     [&](int y, std::size_t x, std::size_t n, std::uint8_t value) {
                       std::uint8_t* row = pixels + y * out_stride;
                       const std::size_t stop = x + n < row_bytes ? x + n : row_bytes;
                       for (std::size_t byte = x; byte < stop; ++byte) {
                         const std::size_t first = byte * 8;
                         const std::size_t last = first + 8 < w ? first + 8 : w;
                         for (std::size_t px = first; px < last; ++px) {
                           const unsigned bit = (value >> (7 - (px - first))) & 1;
                           std::memcpy(row + px * 4, &palette[bit], 4);
                         }
                       }
                     });
  }
  if (!ok) return {};
  return image;
}

}  // namespace miaohui
