#pragma once

// Draws one GIF image onto a picture of the logical-screen size.

#include <cstdint>
#include <span>
#include <vector>

#include "picture/decode.h"
#include "picture/gif_lzw.h"
#include "picture/gif_parse.h"

namespace miaohui::detail {

// A rectangle of the screen, [x0, x1) x [y0, y1).
struct GifRect {
  int x0 = 0;
  int y0 = 0;
  int x1 = 0;
  int y1 = 0;

  bool empty() const { return x0 >= x1 || y0 >= y1; }
};

// The part of an image that lies on a screen of width x height; images are clipped to it.
GifRect visible_part(const GifImage& image, int width, int height);

// Sets every pixel of the rectangle to transparent black.
void clear_area(Image& canvas, GifRect area);
// Copies the rectangle's pixels out, and back in again.
void save_area(const Image& canvas, GifRect area, std::vector<std::uint8_t>& saved);
void restore_area(Image& canvas, GifRect area, const std::vector<std::uint8_t>& saved);

class GifFrameDrawer {
 public:
  // Decodes the image and draws it onto the canvas, pixels of the transparent index left
  // as they are, pixels the data does not reach left too. When `saved` is given, the
  // visible part is copied into it first. False, with the canvas untouched, when the
  // image data is damaged or the image is larger than the picture size bound.
  bool draw(std::span<const std::uint8_t> bytes, const GifScreen& screen, const GifImage& image,
            int transparent, Image& canvas, std::vector<std::uint8_t>* saved);

 private:
  LzwDecoder lzw_;
};

}  // namespace miaohui::detail
