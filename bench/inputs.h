#pragma once

// Benchmark pictures, made from deterministic pixels each time the benchmark starts.

#include <cstdint>
#include <vector>

namespace miaohui::bench {

using Bytes = std::vector<std::uint8_t>;

// RGB pixels of a w x h scene: gradients, shapes and a little noise, as a photo-like picture has.
std::vector<std::uint8_t> scene_rgb(int width, int height, int seed = 1);

Bytes make_jpeg(int width, int height, int quality);
Bytes make_png_rgba(int width, int height);
Bytes make_bmp(int width, int height, int bits_per_pixel);  // 24 or 8
Bytes make_pcx8(int width, int height);
Bytes make_gif(int width, int height, int frames);          // animated, full-screen frames
Bytes make_ico32(int size);                                  // one 32-bit BMP entry with its mask

}  // namespace miaohui::bench
