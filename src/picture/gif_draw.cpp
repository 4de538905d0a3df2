#include "picture/gif_draw.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "picture/image_util.h"

namespace miaohui::detail {

namespace {

// Opaque RGBA words for the table's colours, and for each index what of the pixel under it
// survives: all of it under the transparent index, nothing under a colour. Entries past
// the table stay transparent black, though the decoder lets no such index through.
struct Palette {
  std::array<std::uint32_t, 256> colour;
  std::array<std::uint32_t, 256> keep;
};

void fill_palette(std::span<const std::uint8_t> bytes, std::size_t table, int colours,
                  int transparent, Palette& palette) {
  palette.colour.fill(0);
  palette.keep.fill(0);
  for (int i = 0; i < colours; ++i) {
    const std::uint8_t* rgb = bytes.data() + table + static_cast<std::size_t>(i) * 3;
    const std::uint8_t rgba[4] = {rgb[0], rgb[1], rgb[2], 255};
    std::memcpy(&palette.colour[static_cast<std::size_t>(i)], rgba, 4);
  }
  if (transparent >= 0 && transparent < 256) {
    palette.colour[static_cast<std::size_t>(transparent)] = 0;
    palette.keep[static_cast<std::size_t>(transparent)] = ~std::uint32_t{0};
  }
}

void draw_row(const std::uint8_t* src, int n, std::uint8_t* dst, const Palette& palette,
              bool transparency) {
  if (!transparency) {
    for (int i = 0; i < n; ++i) std::memcpy(dst + 4 * i, &palette.colour[src[i]], 4);
    return;
  }
  // Without a branch: transparent pixels come and go too irregularly to predict.
  for (int i = 0; i < n; ++i) {
    std::uint32_t under;
    std::memcpy(&under, dst + 4 * i, 4);
    const std::uint32_t out = (under & palette.keep[src[i]]) | palette.colour[src[i]];
    std::memcpy(dst + 4 * i, &out, 4);
  }
}

std::size_t pixel_offset(const Image& canvas, int x, int y) {
  const auto row = static_cast<std::size_t>(y) * static_cast<std::size_t>(canvas.width);
  return 4 * (row + static_cast<std::size_t>(x));
}
std::uint8_t* pixel(Image& canvas, int x, int y) {
  return canvas.rgba.data() + pixel_offset(canvas, x, y);
}
const std::uint8_t* pixel(const Image& canvas, int x, int y) {
  return canvas.rgba.data() + pixel_offset(canvas, x, y);
}

}  // namespace

GifRect visible_part(const GifImage& image, int width, int height) {
  GifRect r;
  r.x0 = std::min(image.left, width);
  r.y0 = std::min(image.top, height);
  r.x1 = std::min(image.left + image.width, width);
  r.y1 = std::min(image.top + image.height, height);
  return r;
}

void clear_area(Image& canvas, GifRect area) {
  if (area.empty()) return;
  const std::size_t row_bytes = static_cast<std::size_t>(area.x1 - area.x0) * 4;
  for (int y = area.y0; y < area.y1; ++y) std::memset(pixel(canvas, area.x0, y), 0, row_bytes);
}

void save_area(const Image& canvas, GifRect area, std::vector<std::uint8_t>& saved) {
  saved.clear();
  if (area.empty()) return;
  const std::size_t row_bytes = static_cast<std::size_t>(area.x1 - area.x0) * 4;
  saved.resize(row_bytes * static_cast<std::size_t>(area.y1 - area.y0));
  for (int y = area.y0; y < area.y1; ++y) {
    std::memcpy(saved.data() + row_bytes * static_cast<std::size_t>(y - area.y0),
                pixel(canvas, area.x0, y), row_bytes);
  }
}

void restore_area(Image& canvas, GifRect area, const std::vector<std::uint8_t>& saved) {
  if (area.empty()) return;
  const std::size_t row_bytes = static_cast<std::size_t>(area.x1 - area.x0) * 4;
  if (saved.size() != row_bytes * static_cast<std::size_t>(area.y1 - area.y0)) return;
  for (int y = area.y0; y < area.y1; ++y) {
    std::memcpy(pixel(canvas, area.x0, y),
                saved.data() + row_bytes * static_cast<std::size_t>(y - area.y0), row_bytes);
  }
}

bool GifFrameDrawer::draw(std::span<const std::uint8_t> bytes, const GifScreen& screen,
                          const GifImage& image, int transparent, Image& canvas,
                          std::vector<std::uint8_t>* saved) {
  const GifRect area = visible_part(image, canvas.width, canvas.height);
  if (saved) saved->clear();
  if (image.width == 0 || image.height == 0) return true;  // needs no data at all
  if (!lzw_code_size_ok(image.min_code_size)) return false;
  // Nothing of it shows: its data is not decoded.
  if (area.empty()) return true;
  const std::int64_t pixel_count = std::int64_t{image.width} * image.height;
  if (pixel_count > max_picture_pixels) return false;

  const bool local = image.local_colours > 0;
  const int colours = local ? image.local_colours : screen.global_colours;
  const auto decoded = lzw_.decode(bytes, image.data, image.min_code_size,
                                   static_cast<std::size_t>(pixel_count), colours, transparent);
  if (!decoded) return false;

  if (saved) save_area(canvas, area, *saved);
  Palette palette;
  fill_palette(bytes, local ? image.local_table : screen.global_table, colours, transparent,
               palette);

  // Rows come in stored order; an interlaced image stores every 8th row from 0, every 8th
  // from 4, every 4th from 2, then every 2nd from 1.
  static constexpr int pass_start[4] = {0, 4, 2, 1};
  static constexpr int pass_step[4] = {8, 8, 4, 2};
  const int passes = image.interlaced ? 4 : 1;
  const std::size_t stride = static_cast<std::size_t>(image.width);
  const std::size_t count = *decoded;
  std::size_t stored = 0;
  for (int pass = 0; pass < passes; ++pass) {
    const int step = image.interlaced ? pass_step[pass] : 1;
    for (int row = image.interlaced ? pass_start[pass] : 0; row < image.height;
         row += step, ++stored) {
      const std::size_t first = stored * stride;
      if (first >= count) return true;
      const int y = image.top + row;
      if (y < area.y0 || y >= area.y1) continue;
      const int reached = static_cast<int>(std::min(count - first, stride));
      const int x1 = std::min(area.x1, image.left + reached);
      if (x1 <= area.x0) continue;
      draw_row(lzw_.indices() + first + static_cast<std::size_t>(area.x0 - image.left),
               x1 - area.x0, pixel(canvas, area.x0, y), palette, transparent >= 0);
    }
  }
  return true;
}

}  // namespace miaohui::detail
