// BMP: uncompressed rows of 1, 4, 8, 24 or 32 bits per pixel after a 14-byte file header.
//
// Choices the format leaves open:
// - rows stored top to bottom (negative height) are shown the right way up;
// - OS/2 headers (12, 16 and 64 bytes) are read like the Windows ones, with their own palette
//   entry size; any compression, including bit fields, gives no picture;
// - the palette may declare more entries than the depth needs (only the first 2^bits are
//   used), but every declared entry must lie inside the file; entries that would reach into
//   the pixel data are not taken (OS/2 files may hold fewer than 2^bits and say nothing);
// - an index past the palette's entries is opaque black;
// - the fourth byte of a 32-bit pixel is unused, so the picture is opaque.

#include "picture/dib.h"
#include "picture/image_util.h"

namespace miaohui {

Image decode_bmp(std::span<const std::uint8_t> bytes) {
  using namespace detail;
  constexpr std::size_t file_header_size = 14;

  ByteReader file(bytes);
  if (file.u16() != 0x4D42) return {};  // "BM"
  file.skip(8);                          // file size and reserved words: often wrong, unused
  const std::uint32_t pixel_offset = file.u32();
  if (!file.ok()) return {};

  const auto info = bytes.subspan(file_header_size);
  const std::optional<DibHeader> header = read_dib_header(info);
  if (!header || header->compression != 0) return {};
  const int bits = header->bits;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return {};

  const bool top_down = header->height < 0;
  const std::int64_t height = top_down ? -header->height : header->height;
  if (!picture_size_ok(header->width, height)) return {};

  DibPalette palette;
  if (bits <= 8) {
    const std::uint64_t count = header->colors_used ? header->colors_used : 1u << bits;
    const std::size_t palette_at = file_header_size + header->header_size;
    const std::size_t room = pixel_offset >= palette_at ? pixel_offset - palette_at : SIZE_MAX;
    if (!read_dib_palette(info.subspan(header->header_size), count, header->palette_entry_size,
                          palette, room / header->palette_entry_size)) {
      return {};
    }
  }

  const std::uint64_t needed = std::uint64_t{dib_row_stride(header->width, bits)} *
                               static_cast<std::uint64_t>(height);
  if (pixel_offset > bytes.size() || bytes.size() - pixel_offset < needed) return {};

  Image image = make_image(header->width, height);
  if (image.empty()) return {};
  decode_dib_rows(bytes.subspan(pixel_offset, static_cast<std::size_t>(needed)), bits, top_down,
                  palette, image);
  return image;
}

}  // namespace miaohui
