#include "picture/display_image.h"

#include <QApplication>
#include <QPalette>

namespace miaohui {

namespace {

// Integer form of the blend: (a*p + (255-a)*b) / 255 is the exact value, so the division
// truncates toward zero as the formula asks, and the result stays in 0..255.
int blend_channel(int picture, int background, int alpha) {
  return (alpha * picture + (255 - alpha) * background) / 255;
}

}  // namespace

QRgb background_rgb(std::uint32_t colour) {
  if (colour == button_face_marker) return QApplication::palette().color(QPalette::Button).rgb();
  return qRgb(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
              static_cast<int>((colour >> 16) & 0xFF));
}

void blend_into(const Image& image, QRgb background, QImage& target) {
  const int br = qRed(background), bg = qGreen(background), bb = qBlue(background);
  const auto row_bytes = static_cast<std::size_t>(image.width) * 4;
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* src = image.rgba.data() + static_cast<std::size_t>(y) * row_bytes;
    auto* dst = reinterpret_cast<QRgb*>(target.scanLine(y));
    for (int x = 0; x < image.width; ++x, src += 4) {
      const int a = src[3];
      if (a == 255) {
        dst[x] = qRgb(src[0], src[1], src[2]);
      } else if (a == 0) {
        dst[x] = background;
      } else {
        dst[x] = qRgb(blend_channel(src[0], br, a), blend_channel(src[1], bg, a),
                      blend_channel(src[2], bb, a));
      }
    }
  }
}

QImage make_display_image(const Image& image, QRgb background) {
  const auto expected = static_cast<std::size_t>(image.width) * image.height * 4;
  if (image.empty() || image.width <= 0 || image.height <= 0 || image.rgba.size() != expected) {
    return {};
  }
  QImage out(image.width, image.height, QImage::Format_RGB32);
  if (out.isNull()) return {};  // no memory: nothing is drawn
  blend_into(image, background, out);
  return out;
}

}  // namespace miaohui
