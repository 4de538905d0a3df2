#pragma once

// The reference decoders the benchmarks measure ours against: the bare libraries with nothing of
// the program's own. Each returns the number of pixels it produced (0 on failure).

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace miaohui::bench {

// libjpeg's scan-line loop into RGBA rows.
std::size_t libjpeg_decode(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& rgba);
// libpng's simplified reader into RGBA.
std::size_t libpng_decode(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& rgba);
// stb_image with the components asked for (0: as many as the file holds, 4: RGBA).
std::size_t stb_decode(std::span<const std::uint8_t> bytes, int components);
// stb_image's animated GIF loader: every frame composed.
std::size_t stb_decode_gif(std::span<const std::uint8_t> bytes);
// giflib: DGifSlurp, then every frame composed into an RGBA screen by the disposal rules.
std::size_t giflib_decode(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& screen);

}  // namespace miaohui::bench
