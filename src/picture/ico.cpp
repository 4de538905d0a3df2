// ICO and CUR: a directory of images, one of which is shown.
//
// The image taken is the first whose directory entry gives width 32 and at least 16 colours,
// else the last one. Its bytes (offset and length from the entry) must lie inside the file and
// are read on their own: nothing past the entry's length is used.
//
// An entry is either a PNG file, decoded as any PNG, or a bitmap without its file header: an
// info header whose height counts both the colour rows and the mask rows, a palette, the
// colour rows (bottom-up, as in BMP) and a 1-bit mask of the same size (1 = transparent).
// 32-bit entries carry their own alpha, which wins over the mask; when every alpha byte is 0
// the entry was made for the mask alone, and the mask is used. Their mask may be missing; the
// mask of any other depth must be there.

#include <algorithm>

#include "picture/dib.h"
#include "picture/image_util.h"

namespace miaohui {

namespace {

using namespace detail;

constexpr std::size_t directory_header_size = 6;
constexpr std::size_t directory_entry_size = 16;

bool starts_as_png(std::span<const std::uint8_t> bytes) {
  static constexpr std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  return bytes.size() >= 8 && std::equal(signature, signature + 8, bytes.begin());
}

// Row y of the picture (top first) is stored row height-1-y.
const std::uint8_t* stored_row(std::span<const std::uint8_t> rows, std::size_t stride, int height,
                               int y) {
  return rows.data() + static_cast<std::size_t>(height - 1 - y) * stride;
}

// Alpha from the fourth byte of each 32-bit pixel; false when every one of them is 0.
bool take_alpha(std::span<const std::uint8_t> rows, Image& image) {
  const std::size_t stride = static_cast<std::size_t>(image.width) * 4;
  unsigned any = 0;
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* src = stored_row(rows, stride, image.height, y);
    std::uint8_t* dst = image.rgba.data() + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < image.width; ++x) {
      dst[4 * x + 3] = src[4 * x + 3];
      any |= src[4 * x + 3];
    }
  }
  if (any != 0) return true;
  // Put back the opaque alpha that decode_dib_rows gave.
  for (std::size_t i = 3; i < image.rgba.size(); i += 4) image.rgba[i] = 0xFF;
  return false;
}

void apply_mask(std::span<const std::uint8_t> mask, Image& image) {
  const std::size_t stride = dib_row_stride(image.width, 1);
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* bits = stored_row(mask, stride, image.height, y);
    std::uint8_t* dst = image.rgba.data() + static_cast<std::size_t>(y) * image.width * 4;
    for (int x = 0; x < image.width; ++x) {
      if ((bits[x >> 3] >> (7 - (x & 7))) & 1) dst[4 * x + 3] = 0;
    }
  }
}

Image decode_icon_bitmap(std::span<const std::uint8_t> entry) {
  const std::optional<DibHeader> header = read_dib_header(entry);
  if (!header || header->compression != 0) return {};
  const int bits = header->bits;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return {};
  // The stored height covers the colour rows and the mask rows.
  if (header->height <= 0) return {};
  const std::int64_t width = header->width;
  const std::int64_t height = header->height / 2;
  if (!picture_size_ok(width, height)) return {};

  const std::uint64_t palette_count =
      header->colors_used ? header->colors_used : (bits <= 8 ? 1u << bits : 0u);
  const auto after_header = entry.subspan(header->header_size);
  DibPalette palette;
  if (!read_dib_palette(after_header, palette_count, header->palette_entry_size, palette)) {
    return {};
  }
  const std::size_t colour_offset =
      header->header_size + static_cast<std::size_t>(palette_count) * header->palette_entry_size;
  const std::size_t colour_size = dib_row_stride(width, bits) * static_cast<std::size_t>(height);
  const std::size_t mask_size = dib_row_stride(width, 1) * static_cast<std::size_t>(height);
  if (entry.size() - colour_offset < colour_size) return {};
  const auto colour_rows = entry.subspan(colour_offset, colour_size);
  const bool has_mask = entry.size() - colour_offset - colour_size >= mask_size;
  if (!has_mask && bits != 32) return {};

  Image image = make_image(width, height);
  if (image.empty()) return {};
  decode_dib_rows(colour_rows, bits, false, palette, image);
  const bool own_alpha = bits == 32 && take_alpha(colour_rows, image);
  if (!own_alpha && has_mask) apply_mask(entry.subspan(colour_offset + colour_size, mask_size), image);
  image.has_alpha = true;
  return image;
}

}  // namespace

Image decode_ico(std::span<const std::uint8_t> bytes) {
  ByteReader in(bytes);
  const std::uint16_t reserved = in.u16();
  const std::uint16_t type = in.u16();
  const std::uint16_t count = in.u16();
  if (!in.ok() || reserved != 0 || (type != 1 && type != 2) || count == 0) return {};
  if (bytes.size() < directory_header_size + std::size_t{count} * directory_entry_size) return {};

  std::size_t chosen = count - 1u;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = bytes.data() + directory_header_size + i * directory_entry_size;
    if (entry[0] == 32 && entry[2] >= 16) {
      chosen = i;
      break;
    }
  }
  ByteReader entry(bytes, directory_header_size + chosen * directory_entry_size + 8);
  const std::uint32_t length = entry.u32();
  const std::uint32_t offset = entry.u32();
  if (!entry.ok() || offset > bytes.size() || length > bytes.size() - offset) return {};
  const auto image_bytes = bytes.subspan(offset, length);

  Image image = starts_as_png(image_bytes) ? decode_png(image_bytes) : decode_icon_bitmap(image_bytes);
  if (!image.empty()) image.has_alpha = true;
  return image;
}

}  // namespace miaohui
