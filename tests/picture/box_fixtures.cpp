#include "picture/box_fixtures.h"

#include <QApplication>
#include <QBuffer>
#include <QPalette>
#include <algorithm>
#include <cstdlib>

namespace miaohui::test {

namespace {

void put16(Bytes& out, int v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void put32(Bytes& out, std::uint32_t v) {
  put16(out, static_cast<int>(v & 0xFFFF));
  put16(out, static_cast<int>(v >> 16));
}
void put_text(Bytes& out, const char* text) {
  while (*text != '\0') out.push_back(static_cast<std::uint8_t>(*text++));
}

// LSB-first bit packer for GIF's LZW codes.
class BitWriter {
 public:
  void put(int code, int width) {
    acc_ |= static_cast<std::uint32_t>(code) << bits_;
    bits_ += width;
    while (bits_ >= 8) {
      out.push_back(static_cast<std::uint8_t>(acc_ & 0xFF));
      acc_ >>= 8;
      bits_ -= 8;
    }
  }
  void flush() {
    if (bits_ > 0) out.push_back(static_cast<std::uint8_t>(acc_ & 0xFF));
    acc_ = 0;
    bits_ = 0;
  }
  Bytes out;

 private:
  std::uint32_t acc_ = 0;
  int bits_ = 0;
};

// Literal-only LZW with 8-bit roots: a clear code every 128 literals keeps the table far
// from growing the 9-bit code width, so no string table is needed.
Bytes lzw_literals(const std::vector<std::uint8_t>& indices) {
  constexpr int clear = 256, end = 257, width = 9;
  BitWriter bits;
  for (std::size_t i = 0; i < indices.size(); ++i) {
    if (i % 128 == 0) bits.put(clear, width);
    bits.put(indices[i], width);
  }
  bits.put(end, width);
  bits.flush();
  return std::move(bits.out);
}

}  // namespace

QRgb Quadrants::at(int x, int y, int w, int h) const {
  const bool right = x >= w / 2, bottom = y >= h / 2;
  if (bottom) return right ? bottom_right : bottom_left;
  return right ? top_right : top_left;
}

Bytes make_bmp(int width, int height, const PixelFn& pixel) {
  const int row_bytes = (width * 3 + 3) / 4 * 4;
  const auto image_bytes = static_cast<std::uint32_t>(row_bytes * height);
  Bytes out;
  put_text(out, "BM");
  put32(out, 54 + image_bytes);
  put32(out, 0);
  put32(out, 54);
  put32(out, 40);
  put32(out, static_cast<std::uint32_t>(width));
  put32(out, static_cast<std::uint32_t>(height));
  put16(out, 1);
  put16(out, 24);
  put32(out, 0);
  put32(out, image_bytes);
  put32(out, 2835);
  put32(out, 2835);
  put32(out, 0);
  put32(out, 0);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const QRgb c = pixel(x, y);
      out.push_back(static_cast<std::uint8_t>(qBlue(c)));
      out.push_back(static_cast<std::uint8_t>(qGreen(c)));
      out.push_back(static_cast<std::uint8_t>(qRed(c)));
    }
    out.resize(out.size() + static_cast<std::size_t>(row_bytes - width * 3), 0);
  }
  return out;
}

Bytes encode_with_qt(const QImage& image, const char* format, int quality) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, format, quality)) return {};
  return Bytes(data.begin(), data.end());
}

Bytes make_gif(int width, int height, const std::vector<QRgb>& palette,
               const std::vector<GifFrame>& frames) {
  Bytes out;
  put_text(out, "GIF89a");
  put16(out, width);
  put16(out, height);
  out.push_back(0xF7);  // global table of 256 entries, 8 bits of colour resolution
  out.push_back(0);
  out.push_back(0);
  for (int i = 0; i < 256; ++i) {
    const QRgb c = i < static_cast<int>(palette.size()) ? palette[static_cast<std::size_t>(i)] : 0;
    out.push_back(static_cast<std::uint8_t>(qRed(c)));
    out.push_back(static_cast<std::uint8_t>(qGreen(c)));
    out.push_back(static_cast<std::uint8_t>(qBlue(c)));
  }
  for (const GifFrame& frame : frames) {
    out.insert(out.end(), {0x21, 0xF9, 0x04});
    out.push_back(frame.transparent >= 0 ? 0x01 : 0x00);
    put16(out, frame.delay_cs);
    out.push_back(static_cast<std::uint8_t>(std::max(frame.transparent, 0)));
    out.push_back(0);

    out.push_back(0x2C);
    put16(out, 0);
    put16(out, 0);
    put16(out, width);
    put16(out, height);
    out.push_back(0);
    out.push_back(8);  // LZW minimum code size
    const Bytes data = lzw_literals(frame.indices);
    for (std::size_t at = 0; at < data.size(); at += 255) {
      const std::size_t n = std::min<std::size_t>(255, data.size() - at);
      out.push_back(static_cast<std::uint8_t>(n));
      out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                 data.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);
  }
  out.push_back(0x3B);
  return out;
}

Bytes make_solid_gif(int width, int height, const std::vector<QRgb>& colours, int delay_cs) {
  std::vector<GifFrame> frames;
  for (std::size_t k = 0; k < colours.size(); ++k) {
    GifFrame frame;
    frame.indices.assign(static_cast<std::size_t>(width * height), static_cast<std::uint8_t>(k));
    frame.delay_cs = delay_cs;
    frames.push_back(std::move(frame));
  }
  return make_gif(width, height, colours, frames);
}

Bytes make_icon(int type, QRgb colour, const std::function<bool(int x, int y)>& transparent) {
  constexpr int side = 32;
  constexpr int xor_row = side * 3, and_row = 4;
  constexpr std::uint32_t dib_size = 40 + (xor_row + and_row) * side;
  Bytes out;
  put16(out, 0);
  put16(out, type);
  put16(out, 1);
  out.insert(out.end(), {side, side, 0, 0});
  put16(out, type == 1 ? 1 : 0);   // planes, or the hot spot's x for a cursor
  put16(out, type == 1 ? 24 : 0);  // bits, or the hot spot's y
  put32(out, dib_size);
  put32(out, 22);
  put32(out, 40);
  put32(out, side);
  put32(out, side * 2);  // image and mask
  put16(out, 1);
  put16(out, 24);
  for (int i = 0; i < 6; ++i) put32(out, 0);
  for (int y = side - 1; y >= 0; --y) {
    for (int x = 0; x < side; ++x) {
      const QRgb c = transparent(x, y) ? 0 : colour;
      out.push_back(static_cast<std::uint8_t>(qBlue(c)));
      out.push_back(static_cast<std::uint8_t>(qGreen(c)));
      out.push_back(static_cast<std::uint8_t>(qRed(c)));
    }
  }
  for (int y = side - 1; y >= 0; --y) {
    for (int byte = 0; byte < and_row; ++byte) {
      std::uint8_t bits = 0;
      for (int b = 0; b < 8; ++b) {
        if (transparent(byte * 8 + b, y)) bits = static_cast<std::uint8_t>(bits | (0x80 >> b));
      }
      out.push_back(bits);
    }
  }
  return out;
}

Bytes make_pcx1(int width, int height, const std::function<bool(int x, int y)>& bit) {
  const int bytes_per_line = ((width + 7) / 8 + 1) / 2 * 2;
  Bytes out(128, 0);
  out[0] = 0x0A;
  out[1] = 3;
  out[2] = 1;
  out[3] = 1;
  auto set16 = [&](std::size_t at, int v) {
    out[at] = static_cast<std::uint8_t>(v & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  set16(8, width - 1);
  set16(10, height - 1);
  set16(12, 72);
  set16(14, 72);
  for (std::size_t i = 19; i < 22; ++i) out[i] = 0xFF;  // palette entry 1 white
  out[65] = 1;
  set16(66, bytes_per_line);
  set16(68, 1);
  for (int y = 0; y < height; ++y) {
    Bytes row(static_cast<std::size_t>(bytes_per_line), 0);
    for (int x = 0; x < width; ++x) {
      if (bit(x, y)) row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    for (std::size_t i = 0; i < row.size();) {
      std::size_t run = 1;
      while (i + run < row.size() && row[i + run] == row[i] && run < 63) ++run;
      if (run > 1 || row[i] >= 0xC0) {
        out.push_back(static_cast<std::uint8_t>(0xC0 | run));
      }
      out.push_back(row[i]);
      i += run;
    }
  }
  return out;
}

QRgb button_face() { return QApplication::palette().color(QPalette::Button).rgb(); }

testing::AssertionResult colour_near(QRgb actual, QRgb expected, int tolerance) {
  const bool near = std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
                    std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
                    std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
  if (near) return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << "got (" << qRed(actual) << ", " << qGreen(actual) << ", " << qBlue(actual)
         << "), expected (" << qRed(expected) << ", " << qGreen(expected) << ", "
         << qBlue(expected) << ") within " << tolerance;
}

QImage solid_image(int width, int height, QRgb colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

}  // namespace miaohui::test
