#pragma once

// Builders for small pictures crafted byte by byte, so that each test shows the bytes it feeds.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "picture/decode.h"

namespace miaohui::test {

// Appends little-endian values.
class LeWriter {
 public:
  LeWriter& u8(unsigned v) {
    bytes_.push_back(static_cast<std::uint8_t>(v));
    return *this;
  }
  LeWriter& u16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
  LeWriter& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
  LeWriter& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
  LeWriter& raw(const Bytes& more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
    return *this;
  }
  LeWriter& raw(std::initializer_list<std::uint8_t> more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
    return *this;
  }
  LeWriter& fill(std::size_t n, std::uint8_t v = 0) {
    bytes_.insert(bytes_.end(), n, v);
    return *this;
  }
  std::size_t size() const { return bytes_.size(); }
  Bytes& bytes() { return bytes_; }

 private:
  Bytes bytes_;
};

struct Rgba {
  std::uint8_t r, g, b, a;
  bool operator==(const Rgba&) const = default;
};

inline Rgba pixel(const Image& image, int x, int y) {
  const std::size_t i = (static_cast<std::size_t>(y) * image.width + x) * 4;
  return {image.rgba[i], image.rgba[i + 1], image.rgba[i + 2], image.rgba[i + 3]};
}

inline std::ostream& operator<<(std::ostream& os, const Rgba& c) {
  return os << "rgba(" << int{c.r} << ',' << int{c.g} << ',' << int{c.b} << ',' << int{c.a} << ')';
}

// The info header of a Windows bitmap (40 bytes), uncompressed unless told.
inline void bitmap_info_header(LeWriter& w, std::int32_t width, std::int32_t height, int bits,
                               std::uint32_t colors_used = 0, std::uint32_t compression = 0) {
  w.u32(40).i32(width).i32(height).u16(1).u16(static_cast<unsigned>(bits)).u32(compression);
  w.u32(0).i32(2835).i32(2835).u32(colors_used).u32(0);
}

// A BMP file: file header, 40-byte info header, palette (B, G, R, 0 entries), rows as given.
inline Bytes make_bmp(std::int32_t width, std::int32_t height, int bits,
                      const std::vector<Rgba>& palette, const Bytes& rows,
                      std::uint32_t colors_used = 0) {
  const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(palette.size()) * 4;
  LeWriter w;
  w.u8('B').u8('M').u32(offset + static_cast<std::uint32_t>(rows.size())).u32(0).u32(offset);
  bitmap_info_header(w, width, height, bits, colors_used);
  for (const Rgba& c : palette) w.u8(c.b).u8(c.g).u8(c.r).u8(0);
  w.raw(rows);
  return w.bytes();
}

// The bitmap of an icon entry: info header (height doubled), palette, colour rows, mask rows.
inline Bytes icon_bitmap(std::int32_t width, std::int32_t height, int bits,
                         const std::vector<Rgba>& palette, const Bytes& colour_rows,
                         const Bytes& mask_rows) {
  LeWriter w;
  bitmap_info_header(w, width, height * 2, bits, static_cast<std::uint32_t>(palette.size()));
  for (const Rgba& c : palette) w.u8(c.b).u8(c.g).u8(c.r).u8(0);
  w.raw(colour_rows).raw(mask_rows);
  return w.bytes();
}

struct IconEntry {
  std::uint8_t width_byte;
  std::uint8_t colour_count;
  Bytes payload;  // a bitmap or a PNG file
};

// An icon (type 1) or cursor (type 2) file: directory first, then the payloads in order.
inline Bytes make_icon(const std::vector<IconEntry>& entries, unsigned type = 1) {
  LeWriter w;
  w.u16(0).u16(type).u16(static_cast<unsigned>(entries.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
  for (const IconEntry& e : entries) {
    w.u8(e.width_byte).u8(e.width_byte).u8(e.colour_count).u8(0).u16(1).u16(32);
    w.u32(static_cast<std::uint32_t>(e.payload.size())).u32(offset);
    offset += static_cast<std::uint32_t>(e.payload.size());
  }
  for (const IconEntry& e : entries) w.raw(e.payload);
  return w.bytes();
}

// A PCX header of 128 bytes: RLE, one plane.
inline void pcx_header(LeWriter& w, int version, int bits, int width, int height,
                       int bytes_per_line, int planes = 1) {
  w.u8(0x0A).u8(static_cast<unsigned>(version)).u8(1).u8(static_cast<unsigned>(bits));
  w.u16(0).u16(0).u16(static_cast<unsigned>(width - 1)).u16(static_cast<unsigned>(height - 1));
  w.u16(72).u16(72).fill(48).u8(0).u8(static_cast<unsigned>(planes));
  w.u16(static_cast<unsigned>(bytes_per_line)).u16(1).fill(58);
}

}  // namespace miaohui::test
