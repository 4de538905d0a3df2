#pragma once

// Small pictures made in the tests, for the picture box suites.

#include <QColor>
#include <QImage>
#include <QRgb>
#include <cstdint>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "common/bytes.h"

namespace miaohui::test {

using PixelFn = std::function<QRgb(int x, int y)>;

// A picture of four solid quadrants: top-left, top-right, bottom-left, bottom-right.
struct Quadrants {
  QRgb top_left = qRgb(200, 0, 0);
  QRgb top_right = qRgb(0, 200, 0);
  QRgb bottom_left = qRgb(0, 0, 200);
  QRgb bottom_right = qRgb(200, 200, 0);
  QRgb at(int x, int y, int w, int h) const;
};

// An uncompressed 24-bit bottom-up BMP.
Bytes make_bmp(int width, int height, const PixelFn& pixel);
// The QImage written by Qt's own writer: "PNG" (alpha kept) or "JPG".
Bytes encode_with_qt(const QImage& image, const char* format, int quality = -1);

// One GIF frame over the whole logical screen, in palette indices.
struct GifFrame {
  std::vector<std::uint8_t> indices;  // width * height
  int delay_cs = 5;                   // hundredths of a second
  int transparent = -1;               // transparent index, -1 for none
};
// A GIF89a with a 256-colour global table (entries past palette are black), one
// graphic-control block per frame.
Bytes make_gif(int width, int height, const std::vector<QRgb>& palette,
               const std::vector<GifFrame>& frames);
// A GIF whose frame k fills the screen with palette entry k.
Bytes make_solid_gif(int width, int height, const std::vector<QRgb>& colours, int delay_cs);

// A 32 x 32 icon (type 1) or cursor (type 2): a 24-bit image with an AND mask; the pixels
// where transparent(x, y) holds are masked out.
Bytes make_icon(int type, QRgb colour, const std::function<bool(int x, int y)>& transparent);

// A 1-bit PCX, run-length encoded; bit(x, y) true for white.
Bytes make_pcx1(int width, int height, const std::function<bool(int x, int y)>& bit);

// The button face of the application palette, what the marker 0xFF000000 paints.
QRgb button_face();

// The colours match within tolerance on each channel (alpha ignored).
testing::AssertionResult colour_near(QRgb actual, QRgb expected, int tolerance = 0);

// A picture of one colour.
QImage solid_image(int width, int height, QRgb colour);

}  // namespace miaohui::test
