#include "gif_writer.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <memory>
#include <numeric>

namespace miaohui {

namespace {

constexpr int palette_size = 256;
constexpr int bins = 1 << 15;

int bin_of(QRgb c) { return ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3); }

struct Palette {
  std::array<GifColorType, palette_size> colours{};
  std::vector<std::uint8_t> index_of_bin = std::vector<std::uint8_t>(bins, 0);
};

// Popularity quantiser: the pictures are flat colours with soft edges, so the most frequent
// colours are the ones that matter and the edges fall to their neighbours.
Palette make_palette(std::span<const QImage> frames) {
  struct Bin {
    std::uint64_t count = 0, r = 0, g = 0, b = 0;
  };
  std::vector<Bin> hist(bins);
  for (const QImage& frame : frames) {
    for (int y = 0; y < frame.height(); ++y) {
      const auto* row = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
      for (int x = 0; x < frame.width(); ++x) {
        Bin& bin = hist[static_cast<std::size_t>(bin_of(row[x]))];
        ++bin.count;
        bin.r += static_cast<std::uint64_t>(qRed(row[x]));
        bin.g += static_cast<std::uint64_t>(qGreen(row[x]));
        bin.b += static_cast<std::uint64_t>(qBlue(row[x]));
      }
    }
  }
  std::vector<int> order(bins);
  std::iota(order.begin(), order.end(), 0);
  std::partial_sort(order.begin(), order.begin() + palette_size, order.end(),
                    [&](int a, int b) { return hist[static_cast<std::size_t>(a)].count > hist[static_cast<std::size_t>(b)].count; });

  Palette palette;
  int used = 0;
  for (int i = 0; i < palette_size && hist[static_cast<std::size_t>(order[static_cast<std::size_t>(i)])].count > 0; ++i, ++used) {
    const Bin& bin = hist[static_cast<std::size_t>(order[static_cast<std::size_t>(i)])];
    palette.colours[static_cast<std::size_t>(i)] = {static_cast<GifByteType>(bin.r / bin.count),
                                                     static_cast<GifByteType>(bin.g / bin.count),
                                                     static_cast<GifByteType>(bin.b / bin.count)};
  }
  for (int b = 0; b < bins; ++b) {
    const Bin& bin = hist[static_cast<std::size_t>(b)];
    if (bin.count == 0) continue;
    const auto r = static_cast<int>(bin.r / bin.count), g = static_cast<int>(bin.g / bin.count),
               bl = static_cast<int>(bin.b / bin.count);
    int best = 0, best_distance = INT32_MAX;
    for (int i = 0; i < used; ++i) {
      const GifColorType& c = palette.colours[static_cast<std::size_t>(i)];
      const int dr = r - c.Red, dg = g - c.Green, db = bl - c.Blue;
      const int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
      if (distance < best_distance) {
        best_distance = distance;
        best = i;
      }
    }
    palette.index_of_bin[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(best);
  }
  return palette;
}

int append_bytes(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    EGifCloseFile(gif, &error);
  }
};

struct MapFreer {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

}  // namespace

std::vector<std::uint8_t> encode_gif(std::span<const QImage> frames, int delay_cs) {
  if (frames.empty()) return {};
  const int width = frames.front().width(), height = frames.front().height();
  if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF) return {};
  std::vector<QImage> rgb;
  for (const QImage& frame : frames) {
    if (frame.size() != frames.front().size()) return {};
    rgb.push_back(frame.convertToFormat(QImage::Format_RGB32));
  }
  const Palette palette = make_palette(rgb);

  std::vector<std::uint8_t> out;
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&out, append_bytes, &error));
  if (!gif) return {};
  std::unique_ptr<ColorMapObject, MapFreer> map(GifMakeMapObject(palette_size, palette.colours.data()));
  if (!map) return {};
  EGifSetGifVersion(gif.get(), true);
  if (EGifPutScreenDesc(gif.get(), width, height, 8, 0, map.get()) != GIF_OK) return {};

  // NETSCAPE2.0 application block: loop count 0, for ever.
  static constexpr GifByteType loop[] = {1, 0, 0};
  if (EGifPutExtensionLeader(gif.get(), APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
      EGifPutExtensionBlock(gif.get(), 11, "NETSCAPE2.0") != GIF_OK ||
      EGifPutExtensionBlock(gif.get(), 3, loop) != GIF_OK || EGifPutExtensionTrailer(gif.get()) != GIF_OK) {
    return {};
  }

  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSE_DO_NOT;
  control.DelayTime = delay_cs;
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  GifByteType control_bytes[4];
  const auto control_length = static_cast<int>(EGifGCBToExtension(&control, control_bytes));

  std::vector<GifPixelType> line(static_cast<std::size_t>(width));
  for (const QImage& frame : rgb) {
    if (EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, control_length, control_bytes) != GIF_OK ||
        EGifPutImageDesc(gif.get(), 0, 0, width, height, false, nullptr) != GIF_OK) {
      return {};
    }
    for (int y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
      for (int x = 0; x < width; ++x) {
        line[static_cast<std::size_t>(x)] = palette.index_of_bin[static_cast<std::size_t>(bin_of(row[x]))];
      }
      if (EGifPutLine(gif.get(), line.data(), width) != GIF_OK) return {};
    }
  }
  GifFileType* raw = gif.release();
  if (EGifCloseFile(raw, &error) != GIF_OK) return {};
  return out;
}

}  // namespace miaohui
