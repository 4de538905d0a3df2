#pragma once

// The block structure of a GIF: the header with its logical screen, then one block at a time.
// Nothing here decodes image data; an image block only says where its data lies.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace miaohui::detail {

// Header, logical-screen descriptor and global colour table.
struct GifScreen {
  int width = 0;
  int height = 0;
  std::size_t global_table = 0;  // offset of the RGB triples
  int global_colours = 0;        // 0 without a global table
  std::size_t first_block = 0;   // offset of the first block after the header
};

// A GIF87a or GIF89a header whose screen passes the picture size bound; nullopt otherwise.
std::optional<GifScreen> read_gif_screen(std::span<const std::uint8_t> bytes);

// What one graphic-control extension says about the image after it.
struct GifControl {
  int delay = 0;         // hundredths of a second
  int disposal = 0;      // 0-7 as stored; only 2 and 3 act
  int transparent = -1;  // colour index, or -1 without transparency
};

// An image descriptor with its colour table and where its LZW data begins.
struct GifImage {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool interlaced = false;
  std::size_t local_table = 0;  // offset of the RGB triples
  int local_colours = 0;        // 0 without a local table
  int min_code_size = 0;
  std::size_t data = 0;  // offset of the first data sub-block
};

enum class GifBlockKind {
  image,
  control,          // a graphic-control extension
  other_extension,  // comments, application data, plain text, unknown labels: skipped
  trailer,          // 0x3B, or the end of the bytes
  damaged,          // bytes that are no block, or a block cut off before its data
};

struct GifBlock {
  GifBlockKind kind = GifBlockKind::trailer;
  std::size_t end = 0;  // where the next block begins; always past `at` unless at the end
  GifImage image;       // for image
  GifControl control;   // for control
};

// Reads the block that starts at `at`. A run of bytes that cannot start a block is one
// damaged block reaching to the next byte that could. An image or extension whose
// sub-blocks run off the end of the bytes still counts whole, ending there.
GifBlock read_gif_block(std::span<const std::uint8_t> bytes, std::size_t at);

// Number of image blocks from the first block to the trailer.
int count_gif_images(std::span<const std::uint8_t> bytes, const GifScreen& screen);

}  // namespace miaohui::detail
