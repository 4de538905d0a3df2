#pragma once

// A small GIF writer for crafting test pictures: real LZW compression, or code sequences
// packed exactly as given for damaged data.

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/bytes.h"
#include "picture/decode.h"

namespace miaohui::test {

using Rgb = std::array<std::uint8_t, 3>;

inline constexpr Rgb black{0, 0, 0};
inline constexpr Rgb white{255, 255, 255};
inline constexpr Rgb red{255, 0, 0};
inline constexpr Rgb green{0, 255, 0};
inline constexpr Rgb blue{0, 0, 255};

// Packs codes of the given widths, least significant bit first.
inline Bytes pack_codes(const std::vector<std::pair<unsigned, int>>& codes) {
  Bytes out;
  std::uint32_t acc = 0;
  int bits = 0;
  for (const auto& [code, width] : codes) {
    acc |= code << bits;
    bits += width;
    while (bits >= 8) {
      out.push_back(static_cast<std::uint8_t>(acc & 0xFF));
      acc >>= 8;
      bits -= 8;
    }
  }
  if (bits > 0) out.push_back(static_cast<std::uint8_t>(acc));
  return out;
}

// Writes LZW codes at the widths a reader expects: it follows the reader's table, which
// grows by one entry for every code but the first after a clear, and widens the codes
// (up to 12 bits) as soon as the next code to define needs another bit. Codes are written as given,
// valid or not.
class LzwCodeWriter {
 public:
  explicit LzwCodeWriter(int min_code_size)
      : min_code_size_(min_code_size), width_(min_code_size + 1), next_(clear() + 2) {}

  unsigned clear() const { return 1u << min_code_size_; }
  unsigned end_code() const { return clear() + 1; }
  unsigned reader_next() const { return next_; }  // the code the reader defines next

  void emit(unsigned code) {
    codes_.emplace_back(code, width_);
    if (code == clear()) {
      width_ = min_code_size_ + 1;
      next_ = clear() + 2;
      first_ = true;
    } else if (code != end_code()) {
      if (!first_ && next_ < 4096) ++next_;
      if (next_ >= (1u << width_) && width_ < 12) ++width_;
      first_ = false;
    }
  }

  Bytes bytes() const { return pack_codes(codes_); }

 private:
  int min_code_size_;
  int width_;
  unsigned next_;
  bool first_ = true;
  std::vector<std::pair<unsigned, int>> codes_;
};

// LZW-compresses colour indices as a GIF encoder does: a clear code first, a new clear when
// the table is full, the end code last.
inline Bytes lzw_encode(const std::vector<std::uint8_t>& indices, int min_code_size) {
  LzwCodeWriter out(min_code_size);
  const unsigned clear = out.clear();
  std::map<std::pair<unsigned, std::uint8_t>, unsigned> table;
  unsigned next = clear + 2;
  out.emit(clear);
  bool have = false;
  unsigned current = 0;
  for (const std::uint8_t k : indices) {
    if (!have) {
      current = k;
      have = true;
      continue;
    }
    const auto found = table.find({current, k});
    if (found != table.end()) {
      current = found->second;
      continue;
    }
    out.emit(current);
    table[{current, k}] = next++;
    current = k;
    if (next == 4096) {
      out.emit(clear);
      table.clear();
      next = clear + 2;
    }
  }
  if (have) out.emit(current);
  out.emit(out.end_code());
  return out.bytes();
}

// The data split into sub-blocks of at most 255 bytes, with the terminator.
inline Bytes sub_blocks(const Bytes& data, std::size_t block = 255) {
  Bytes out;
  for (std::size_t i = 0; i < data.size(); i += block) {
    const std::size_t n = std::min(block, data.size() - i);
    out.push_back(static_cast<std::uint8_t>(n));
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
               data.begin() + static_cast<std::ptrdiff_t>(i + n));
  }
  out.push_back(0);
  return out;
}

struct CraftedImage {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> indices;  // in display order, width x height
  std::vector<Rgb> local_table;       // empty: the global table
  bool interlaced = false;
  int min_code_size = -1;  // -1: the smallest that holds the colour table, at least 2
  Bytes data;              // when not empty, the LZW bytes as they are (not split)
};

class GifWriter {
 public:
  GifWriter(int width, int height, std::vector<Rgb> global_table = {}, bool gif87a = false) {
    const std::string head = gif87a ? "GIF87a" : "GIF89a";
    bytes_.assign(head.begin(), head.end());
    u16(width);
    u16(height);
    const int bits = table_bits(global_table.size());
    bytes_.push_back(global_table.empty() ? 0 : static_cast<std::uint8_t>(0x80 | (bits - 1)));
    bytes_.push_back(0);  // background index
    bytes_.push_back(0);  // aspect ratio
    table(global_table, bits);
    global_colours_ = global_table.empty() ? 0 : 1 << bits;
  }

  // A graphic-control block; transparent -1 for none.
  GifWriter& control(int delay, int disposal = 0, int transparent = -1) {
    const std::uint8_t flags =
        static_cast<std::uint8_t>((disposal & 7) << 2 | (transparent >= 0 ? 1 : 0));
    append({0x21, 0xF9, 4, flags});
    u16(delay);
    append({static_cast<std::uint8_t>(transparent >= 0 ? transparent : 0), 0});
    return *this;
  }

  GifWriter& comment(const std::string& text) {
    append({0x21, 0xFE});
    append(sub_blocks(Bytes(text.begin(), text.end())));
    return *this;
  }

  GifWriter& image(const CraftedImage& frame) {
    bytes_.push_back(0x2C);
    u16(frame.left);
    u16(frame.top);
    u16(frame.width);
    u16(frame.height);
    const int bits = table_bits(frame.local_table.size());
    std::uint8_t flags = frame.interlaced ? 0x40 : 0;
    if (!frame.local_table.empty()) flags |= static_cast<std::uint8_t>(0x80 | (bits - 1));
    bytes_.push_back(flags);
    table(frame.local_table, bits);
    const int colours = frame.local_table.empty() ? global_colours_ : 1 << bits;
    int code_size = frame.min_code_size;
    if (code_size < 0) {
      code_size = 2;
      while ((1 << code_size) < colours) ++code_size;
    }
    bytes_.push_back(static_cast<std::uint8_t>(code_size));
    append(
        sub_blocks(frame.data.empty() ? lzw_encode(stored_order(frame), code_size) : frame.data));
    return *this;
  }

  // A full-screen image of one colour index.
  GifWriter& fill(int width, int height, std::uint8_t index) {
    CraftedImage frame;
    frame.width = width;
    frame.height = height;
    frame.indices.assign(static_cast<std::size_t>(width) * height, index);
    return image(frame);
  }

  GifWriter& raw(const Bytes& b) {
    append(b);
    return *this;
  }

  Bytes finish(bool trailer = true) const {
    Bytes out = bytes_;
    if (trailer) out.push_back(0x3B);
    return out;
  }

 private:
  static int table_bits(std::size_t colours) {
    int bits = 1;
    while ((std::size_t{1} << bits) < colours) ++bits;
    return bits;
  }

  static std::vector<std::uint8_t> stored_order(const CraftedImage& frame) {
    if (!frame.interlaced) return frame.indices;
    std::vector<std::uint8_t> out;
    const int start[4] = {0, 4, 2, 1};
    const int step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
      for (int y = start[pass]; y < frame.height; y += step[pass]) {
        const auto row = frame.indices.begin() + static_cast<std::ptrdiff_t>(y) * frame.width;
        out.insert(out.end(), row, row + frame.width);
      }
    }
    return out;
  }

  void table(const std::vector<Rgb>& colours, int bits) {
    if (colours.empty()) return;
    for (std::size_t i = 0; i < (std::size_t{1} << bits); ++i) {
      const Rgb c = i < colours.size() ? colours[i] : Rgb{0, 0, 0};
      append({c[0], c[1], c[2]});
    }
  }

  void u16(int v) {
    bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
  }
  void append(const Bytes& b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }

  Bytes bytes_;
  int global_colours_ = 0;
};

// Pixels of a decoded picture as 0xRRGGBBAA words, row after row, for exact comparison.
inline constexpr std::uint32_t opaque(Rgb c) {
  return std::uint32_t{c[0]} << 24 | std::uint32_t{c[1]} << 16 | std::uint32_t{c[2]} << 8 | 0xFF;
}
inline constexpr std::uint32_t clear_pixel = 0;
inline constexpr std::uint32_t R = opaque(red);
inline constexpr std::uint32_t G = opaque(green);
inline constexpr std::uint32_t B = opaque(blue);
inline constexpr std::uint32_t W = opaque(white);
inline constexpr std::uint32_t K = opaque(black);
inline constexpr std::uint32_t T = clear_pixel;

inline std::vector<std::uint32_t> pixels(const Image& image) {
  std::vector<std::uint32_t> out;
  for (std::size_t i = 0; i + 3 < image.rgba.size(); i += 4) {
    out.push_back(std::uint32_t{image.rgba[i]} << 24 | std::uint32_t{image.rgba[i + 1]} << 16 |
                  std::uint32_t{image.rgba[i + 2]} << 8 | image.rgba[i + 3]);
  }
  return out;
}

}  // namespace miaohui::test
