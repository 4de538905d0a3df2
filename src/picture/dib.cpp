#include "picture/dib.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "picture/image_util.h"

namespace miaohui::detail {

namespace {

std::uint32_t pack_rgba(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
  const std::uint8_t bytes[4] = {r, g, b, a};
  std::uint32_t word;
  std::memcpy(&word, bytes, 4);
  return word;
}

void put(std::uint8_t* dst, std::uint32_t word) { std::memcpy(dst, &word, 4); }

void row_1bit(const std::uint8_t* src, std::uint8_t* dst, int width, const DibPalette& pal) {
  const int whole = width / 8;
  for (int i = 0; i < whole; ++i, dst += 32) {
    const unsigned byte = src[i];
    for (int bit = 0; bit < 8; ++bit) put(dst + 4 * bit, pal[(byte >> (7 - bit)) & 1]);
  }
  if (width % 8 == 0) return;
  const unsigned last = src[whole];
  for (int bit = 0; bit < width % 8; ++bit) put(dst + 4 * bit, pal[(last >> (7 - bit)) & 1]);
}

void row_4bit(const std::uint8_t* src, std::uint8_t* dst, int width, const DibPalette& pal) {
  const int pairs = width / 2;
  for (int i = 0; i < pairs; ++i, dst += 8) {
    put(dst, pal[src[i] >> 4]);
    put(dst + 4, pal[src[i] & 0x0F]);
  }
  if (width % 2) put(dst, pal[src[pairs] >> 4]);
}

void row_8bit(const std::uint8_t* src, std::uint8_t* dst, int width, const DibPalette& pal) {
  for (int x = 0; x < width; ++x) put(dst + 4 * x, pal[src[x]]);
}

// Stored blue, green, red (and an unused byte at 32 bits) to red, green, blue, opaque.
std::uint32_t opaque_from_bgr(const std::uint8_t* src) { return pack_rgba(src[2], src[1], src[0], 0xFF); }

template <int step>
void row_direct(const std::uint8_t* src, std::uint8_t* dst, int width) {
  int x = 0;
  if constexpr (std::endian::native == std::endian::little) {
    // One 4-byte load a pixel; it reaches one byte past a 24-bit pixel, so the last pixel of
    // the row is left to the byte-wise loop below.
    for (; x < width - 1; ++x, src += step, dst += 4) {
      std::uint32_t v;
      std::memcpy(&v, src, 4);
      put(dst, (__builtin_bswap32(v) >> 8) | 0xFF000000u);
    }
  }
  for (; x < width; ++x, src += step, dst += 4) put(dst, opaque_from_bgr(src));
}

}  // namespace

std::optional<DibHeader> read_dib_header(std::span<const std::uint8_t> bytes) {
  ByteReader in(bytes);
  DibHeader h;
  h.header_size = in.u32();
  switch (h.header_size) {
    case 12:
      h.width = in.u16();
      h.height = in.u16();
      in.skip(2);  // planes
      h.bits = in.u16();
      h.palette_entry_size = 3;
      break;
    case 16: case 40: case 52: case 56: case 64: case 108: case 124:
      h.width = in.i32();
      h.height = in.i32();
      in.skip(2);  // planes: ignored, as most readers do
      h.bits = in.u16();
      if (h.header_size >= 40) {
        h.compression = in.u32();
        in.skip(12);  // image size, resolution: not needed for uncompressed rows
        h.colors_used = in.u32();
      }
      break;
    default:
      return std::nullopt;
  }
  if (!in.ok() || bytes.size() < h.header_size) return std::nullopt;
  return h;
}

std::size_t dib_row_stride(std::int64_t width, int bits) {
  if (width <= 0 || width > max_picture_side || bits <= 0 || bits > 32) return 0;
  return static_cast<std::size_t>((width * bits + 31) / 32 * 4);
}

bool read_dib_palette(std::span<const std::uint8_t> bytes, std::uint64_t count,
                      std::size_t entry_size, DibPalette& palette, std::size_t usable) {
  palette.fill(pack_rgba(0, 0, 0, 0xFF));
  if (count > bytes.size() / entry_size) return false;
  const std::size_t used = std::min({static_cast<std::size_t>(count), palette.size(), usable});
  for (std::size_t i = 0; i < used; ++i) {
    const std::uint8_t* e = bytes.data() + i * entry_size;
    palette[i] = pack_rgba(e[2], e[1], e[0], 0xFF);
  }
  return true;
}

void decode_dib_rows(std::span<const std::uint8_t> rows, int bits, bool top_down,
                     const DibPalette& palette, Image& out) {
  const int width = out.width;
  const int height = out.height;
  const std::size_t stride = dib_row_stride(width, bits);
  const std::size_t out_stride = static_cast<std::size_t>(width) * 4;
  for (int y = 0; y < height; ++y) {
    const int stored = top_down ? y : height - 1 - y;
    const std::uint8_t* src = rows.data() + static_cast<std::size_t>(stored) * stride;
    std::uint8_t* dst = out.rgba.data() + static_cast<std::size_t>(y) * out_stride;
    switch (bits) {
      case 1: row_1bit(src, dst, width, palette); break;
      case 4: row_4bit(src, dst, width, palette); break;
      case 8: row_8bit(src, dst, width, palette); break;
      case 24: row_direct<3>(src, dst, width); break;
      case 32: row_direct<4>(src, dst, width); break;
      default: break;
    }
  }
}

}  // namespace miaohui::detail
