// PNG through libpng's simplified reader, into 8-bit RGBA with straight alpha.

#include <png.h>

#include <cstring>

#include "picture/decode.h"
#include "picture/image_util.h"

namespace miaohui {

namespace {

// Frees whatever libpng still holds for the image, on every way out.
struct PngImageGuard {
  png_image& image;
  ~PngImageGuard() { png_image_free(&image); }
};

}  // namespace

Image decode_png(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return {};
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  const PngImageGuard guard{png};

  // Only the header is read here: the size is checked before any pixel memory is taken.
  if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) return {};
  if (!detail::picture_size_ok(png.width, png.height)) return {};

  const bool has_alpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  png.format = PNG_FORMAT_RGBA;
  Image image = detail::make_image(png.width, png.height);
  if (image.empty() || PNG_IMAGE_SIZE(png) != image.rgba.size()) return {};
  if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr)) return {};
  image.has_alpha = has_alpha;
  return image;
}

}  // namespace miaohui
