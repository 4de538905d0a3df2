#include "picture/gif_parse.h"

#include "picture/image_util.h"

namespace miaohui::detail {

namespace {

constexpr std::uint8_t extension_introducer = 0x21;
constexpr std::uint8_t image_separator = 0x2C;
constexpr std::uint8_t trailer_byte = 0x3B;
constexpr std::uint8_t control_label = 0xF9;

bool starts_block(std::uint8_t b) {
  return b == extension_introducer || b == image_separator || b == trailer_byte;
}

// Offset just past the zero-length sub-block that ends a chain, or the end of the bytes.
std::size_t skip_sub_blocks(std::span<const std::uint8_t> bytes, std::size_t at) {
  while (at < bytes.size()) {
    const std::size_t n = bytes[at];
    if (n == 0) return at + 1;
    at += n + 1;
  }
  return bytes.size();
}

int table_colours(std::uint8_t flags) { return (flags & 0x80) ? 2 << (flags & 0x07) : 0; }

GifBlock damaged_to(std::size_t end) {
  GifBlock block;
  block.kind = GifBlockKind::damaged;
  block.end = end;
  return block;
}

GifBlock read_extension(std::span<const std::uint8_t> bytes, std::size_t at) {
  ByteReader in(bytes, at + 1);
  const std::uint8_t label = in.u8();
  if (!in.ok()) return damaged_to(bytes.size());
  GifBlock block;
  block.kind = GifBlockKind::other_extension;
  const std::size_t chain = in.position();
  block.end = skip_sub_blocks(bytes, chain);
  if (label == control_label && chain + 5 <= bytes.size() && bytes[chain] >= 4) {
    // A control block shorter than four bytes carries nothing usable and is skipped.
    ByteReader fields(bytes, chain + 1);
    const std::uint8_t flags = fields.u8();
    block.kind = GifBlockKind::control;
    block.control.disposal = (flags >> 2) & 0x07;
    block.control.delay = fields.u16();
    const std::uint8_t index = fields.u8();
    block.control.transparent = (flags & 0x01) ? index : -1;
  }
  return block;
}

GifBlock read_image(std::span<const std::uint8_t> bytes, std::size_t at) {
  ByteReader in(bytes, at + 1);
  GifBlock block;
  block.kind = GifBlockKind::image;
  GifImage& image = block.image;
  image.left = in.u16();
  image.top = in.u16();
  image.width = in.u16();
  image.height = in.u16();
  const std::uint8_t flags = in.u8();
  image.interlaced = (flags & 0x40) != 0;
  image.local_colours = table_colours(flags);
  if (!in.ok()) return damaged_to(bytes.size());
  image.local_table = in.position();
  in.skip(static_cast<std::size_t>(image.local_colours) * 3);
  image.min_code_size = in.u8();
  image.data = in.position();
  if (in.ok()) {
    block.end = skip_sub_blocks(bytes, image.data);
    return block;
  }
  // Cut off inside its colour table or before its data: an image without pixels needs
  // neither (some writers leave them out), any other image is damaged.
  if (image.width == 0 || image.height == 0) {
    image.local_colours = 0;
    block.end = bytes.size();
    return block;
  }
  return damaged_to(bytes.size());
}

}  // namespace

std::optional<GifScreen> read_gif_screen(std::span<const std::uint8_t> bytes) {
  ByteReader in(bytes);
  const auto signature = in.take(6);
  if (!in.ok() || signature[0] != 'G' || signature[1] != 'I' || signature[2] != 'F' ||
      signature[3] != '8' || (signature[4] != '7' && signature[4] != '9') || signature[5] != 'a') {
    return std::nullopt;
  }
  GifScreen screen;
  screen.width = in.u16();
  screen.height = in.u16();
  const std::uint8_t flags = in.u8();
  in.skip(2);  // background index and aspect ratio: the background shows as transparent
  screen.global_colours = table_colours(flags);
  screen.global_table = in.position();
  in.skip(static_cast<std::size_t>(screen.global_colours) * 3);
  if (!in.ok() || !picture_size_ok(screen.width, screen.height)) return std::nullopt;
  screen.first_block = in.position();
  return screen;
}

GifBlock read_gif_block(std::span<const std::uint8_t> bytes, std::size_t at) {
  if (at >= bytes.size() || bytes[at] == trailer_byte) {
    GifBlock block;
    block.end = at >= bytes.size() ? bytes.size() : at + 1;
    return block;
  }
  if (bytes[at] == extension_introducer) return read_extension(bytes, at);
  if (bytes[at] == image_separator) return read_image(bytes, at);
  std::size_t end = at + 1;
  while (end < bytes.size() && !starts_block(bytes[end])) ++end;
  return damaged_to(end);
}

int count_gif_images(std::span<const std::uint8_t> bytes, const GifScreen& screen) {
  int images = 0;
  std::size_t at = screen.first_block;
  for (;;) {
    const GifBlock block = read_gif_block(bytes, at);
    if (block.kind == GifBlockKind::trailer) return images;
    if (block.kind == GifBlockKind::image) ++images;
    at = block.end;
  }
}

}  // namespace miaohui::detail
