#pragma once

// The device-independent bitmap that BMP files and the bitmap entries of icons share:
// its info header, its palette and its uncompressed rows.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "picture/decode.h"

namespace miaohui::detail {

struct DibHeader {
  std::uint32_t header_size = 0;  // 12 (OS/2 1.x), 16 and 64 (OS/2 2.x), 40, 52, 56, 108, 124
  std::int64_t width = 0;
  std::int64_t height = 0;        // as stored: negative for rows stored top to bottom
  int bits = 0;                   // bits per pixel
  std::uint32_t compression = 0;  // 0 for uncompressed rows
  std::uint32_t colors_used = 0;  // 0: the full palette of the depth
  std::size_t palette_entry_size = 4;  // 3 in OS/2 1.x files
};

// Reads the info header at the start of `bytes`; nothing for a header size no bitmap uses or
// a header that does not fit.
std::optional<DibHeader> read_dib_header(std::span<const std::uint8_t> bytes);

// Bytes of one stored row: width x bits rounded up to whole 32-bit words; 0 when too large.
std::size_t dib_row_stride(std::int64_t width, int bits);

// The palette in output pixel order, one packed RGBA word an entry. Entries past those the
// file gives are opaque black, so that no index can read outside the table.
using DibPalette = std::array<std::uint32_t, 256>;

// Reads `count` entries from `bytes`; false when they do not fit. All `count` must lie inside
// `bytes`, but at most 256 and at most `usable` of them are taken.
bool read_dib_palette(std::span<const std::uint8_t> bytes, std::uint64_t count,
                      std::size_t entry_size, DibPalette& palette,
                      std::size_t usable = SIZE_MAX);

// Turns `height` stored rows of `bits` (1, 4, 8, 24 or 32) per pixel into `out`, which is
// already sized. `rows` must hold dib_row_stride(out.width, bits) * out.height bytes. Opaque.
void decode_dib_rows(std::span<const std::uint8_t> rows, int bits, bool top_down,
                     const DibPalette& palette, Image& out);

}  // namespace miaohui::detail
