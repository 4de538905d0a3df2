// decode/<format>/<impl>: our decoders and the reference libraries on the same bytes, in pixels
// per second.
#include <benchmark/benchmark.h>

#include "inputs.h"
#include "picture/decode.h"
#include "reference.h"

namespace miaohui::bench {
namespace {

const Bytes& jpeg_input() { static const Bytes b = make_jpeg(1000, 750, 85); return b; }
const Bytes& png_input() { static const Bytes b = make_png_rgba(1000, 750); return b; }
const Bytes& bmp24_input() { static const Bytes b = make_bmp(1000, 750, 24); return b; }
const Bytes& bmp8_input() { static const Bytes b = make_bmp(1000, 750, 8); return b; }
const Bytes& pcx8_input() { static const Bytes b = make_pcx8(1000, 750); return b; }
const Bytes& gif_input() { static const Bytes b = make_gif(500, 300, 20); return b; }
const Bytes& ico256_input() { static const Bytes b = make_ico32(256); return b; }
const Bytes& ico32_input() { static const Bytes b = make_ico32(32); return b; }

// Runs decode (returning pixels made) on the bytes and reports pixels per second.
template <class Decode>
void run(benchmark::State& state, const Bytes& bytes, Decode decode) {
  std::size_t pixels = 0;
  for (auto _ : state) {
    const std::size_t n = decode(std::span<const std::uint8_t>(bytes));
    if (n == 0) {
      state.SkipWithError("no picture");
      return;
    }
    pixels += n;
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(pixels));
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes.size() * state.iterations()));
}

template <Image (*Decoder)(std::span<const std::uint8_t>)>
std::size_t ours(std::span<const std::uint8_t> bytes) {
  const Image image = Decoder(bytes);
  benchmark::DoNotOptimize(image.rgba.data());
  return static_cast<std::size_t>(image.width) * image.height;
}

std::size_t ours_gif(std::span<const std::uint8_t> bytes) {
  auto playback = GifPlayback::open(bytes);
  if (!playback) return 0;
  std::size_t pixels = 0;
  for (int i = 0; i < playback->frame_count(); ++i) {
    playback->step();
    pixels += static_cast<std::size_t>(playback->width()) * playback->height();
  }
  benchmark::DoNotOptimize(playback->composed().rgba.data());
  return pixels;
}

std::vector<std::uint8_t> scratch;

void register_all() {
  auto add = [](const char* name, const Bytes& (*input)(), auto decode) {
    benchmark::RegisterBenchmark(name, [input, decode](benchmark::State& s) { run(s, input(), decode); })
        ->Unit(benchmark::kMillisecond);
  };
  add("decode/jpeg/miaohui", jpeg_input, ours<decode_jpeg>);
  add("decode/jpeg/libjpeg", jpeg_input, [](auto b) { return libjpeg_decode(b, scratch); });
  add("decode/jpeg/stb", jpeg_input, [](auto b) { return stb_decode(b, 4); });
  add("decode/png/miaohui", png_input, ours<decode_png>);
  add("decode/png/libpng", png_input, [](auto b) { return libpng_decode(b, scratch); });
  add("decode/png/stb", png_input, [](auto b) { return stb_decode(b, 4); });
  add("decode/bmp24/miaohui", bmp24_input, ours<decode_bmp>);
  // stb keeps a BMP in the components it holds (3 for 24-bit): its fastest road.
  add("decode/bmp24/stb", bmp24_input, [](auto b) { return stb_decode(b, 0); });
  add("decode/bmp8/miaohui", bmp8_input, ours<decode_bmp>);
  add("decode/bmp8/stb", bmp8_input, [](auto b) { return stb_decode(b, 0); });
  add("decode/pcx8/miaohui", pcx8_input, ours<decode_pcx>);
  add("decode/gif/miaohui", gif_input, ours_gif);
  add("decode/gif/giflib", gif_input, [](auto b) { return giflib_decode(b, scratch); });
  add("decode/gif/stb", gif_input, stb_decode_gif);
  add("decode/ico256/miaohui", ico256_input, ours<decode_ico>);
  add("decode/ico32/miaohui", ico32_input, ours<decode_ico>);
}

const int registered = (register_all(), 0);

}  // namespace
}  // namespace miaohui::bench
