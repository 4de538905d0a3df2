// PNG through libpng's simplified reader, into 8-bit RGBA with straight alpha.
//
// The reader corrects the file's gamma (gAMA) to sRGB. 16-bit files that give no gamma are
// taken as sRGB, as they are almost always made: left to itself the reader would take them
// as linear and show them far too bright.
//
// Interlaced 16-bit files go through libpng's row reader instead, with the same transforms:
// the simplified reader of libpng 1.6.39 as Debian 12 ships it merges the interlace passes
// of such files wrongly when it scales them to 8 bits (a stale row buffer), which scrambles
// about half of their pixels.

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "picture/decode.h"
#include "picture/image_util.h"

namespace miaohui {

namespace {

// Frees whatever libpng still holds for the image, on every way out.
struct PngImageGuard {
  png_image& image;
  ~PngImageGuard() { png_image_free(&image); }
};

// IHDR is the first chunk: signature (8), length (4), type (4), width, height, then these.
constexpr std::size_t ihdr_bit_depth_at = 24;
constexpr std::size_t ihdr_interlace_at = 28;

struct MemoryInput {
  std::span<const std::uint8_t> bytes;
  std::size_t position = 0;
};

void read_input(png_structp png, png_bytep out, png_size_t count) {
  auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
  if (count > input->bytes.size() - input->position) png_error(png, "data ends early");
  std::memcpy(out, input->bytes.data() + input->position, count);
  input->position += count;
}

std::uint32_t big_endian_u32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// True when every chunk before the first IDAT lies whole inside the bytes. libpng takes
// memory for such a chunk at its stated length before it reads it, so a few hundred bytes
// could ask for 2 GiB; a chunk that runs past the end fails in libpng anyway. The image
// data and what follows it are read in pieces, and a file that ends there still decodes.
bool header_chunks_fit(std::span<const std::uint8_t> bytes) {
  constexpr std::size_t signature_size = 8;
  constexpr std::size_t frame_size = 12;  // length, type, CRC
  static constexpr std::uint8_t idat[4] = {'I', 'D', 'A', 'T'};
  std::size_t at = signature_size;
  while (bytes.size() - at >= 8) {
    const std::uint8_t* chunk = bytes.data() + at;
    if (std::memcmp(chunk + 4, idat, 4) == 0) return true;
    const std::size_t length = big_endian_u32(chunk);
    if (bytes.size() - at < frame_size || length > bytes.size() - at - frame_size) return false;
    at += frame_size + length;
  }
  return true;  // too short for another chunk header: libpng gives its own verdict
}

[[noreturn]] void on_error(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void on_warning(png_structp, png_const_charp) {}

// What libpng's error jump may leave: nothing here has a destructor that it would skip.
struct RowReader {
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::vector<png_bytep> rows;

  ~RowReader() {
    if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  }
};

bool read_rows(RowReader& r, MemoryInput& input, Image& out) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_set_read_fn(r.png, &input, read_input);
  png_read_info(r.png, r.info);
  const png_uint_32 width = png_get_image_width(r.png, r.info);
  const png_uint_32 height = png_get_image_height(r.png, r.info);
  if (!detail::picture_size_ok(width, height)) return false;

  // As the simplified reader sets them for 8-bit RGBA in sRGB.
  png_set_expand(r.png);
  png_set_scale_16(r.png);
  png_set_gray_to_rgb(r.png);
  png_set_add_alpha(r.png, 0xFF, PNG_FILLER_AFTER);
  png_set_alpha_mode(r.png, PNG_ALPHA_PNG, PNG_DEFAULT_sRGB);
  png_set_interlace_handling(r.png);
  png_read_update_info(r.png, r.info);
  if (png_get_rowbytes(r.png, r.info) != std::size_t{width} * 4) return false;

  out = detail::make_image(width, height);
  if (out.empty()) return false;
  r.rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) r.rows[y] = out.rgba.data() + std::size_t{y} * width * 4;
  png_read_image(r.png, r.rows.data());
  return true;
}

Image decode_with_row_reader(std::span<const std::uint8_t> bytes, bool has_alpha) {
  RowReader reader;
  reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, on_warning);
  if (!reader.png) return {};
  reader.info = png_create_info_struct(reader.png);
  if (!reader.info) return {};
  MemoryInput input{bytes};
  Image image;
  if (!read_rows(reader, input, image)) return {};
  image.has_alpha = has_alpha;
  return image;
}

}  // namespace

Image decode_png(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 8 || !header_chunks_fit(bytes)) return {};
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  const PngImageGuard guard{png};

  // Only the header is read here: the size is checked before any pixel memory is taken.
  if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) return {};
  if (!detail::picture_size_ok(png.width, png.height)) return {};
  const bool has_alpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;

  if (bytes[ihdr_bit_depth_at] == 16 && bytes[ihdr_interlace_at] != 0) {
    return decode_with_row_reader(bytes, has_alpha);
  }

  png.format = PNG_FORMAT_RGBA;
  png.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
  Image image = detail::make_image(png.width, png.height);
  if (image.empty() || PNG_IMAGE_SIZE(png) != image.rgba.size()) return {};
  if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr)) return {};
  image.has_alpha = has_alpha;
  return image;
}

}  // namespace miaohui
