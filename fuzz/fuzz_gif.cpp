// Any bytes through the GIF still decoder and the playback model.
#include <cstdlib>

#include "picture/decode.h"

namespace {

// Steps stop at about 2^24 composed pixels, as in fuzz_picture: a large screen is slow
// work under the sanitizers, not a hang.
constexpr std::int64_t step_pixel_budget = std::int64_t{1} << 24;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const miaohui::Image still = miaohui::decode_gif_still({data, size});
  if (!still.empty() && still.rgba.size() != static_cast<std::size_t>(still.width) * still.height * 4) std::abort();
  if (auto playback = miaohui::GifPlayback::open({data, size})) {
    if (playback->frame_count() < 2) std::abort();
    const std::int64_t screen = std::int64_t{playback->width()} * playback->height();
    std::int64_t pixels = 0;
    for (int i = 0; i < 2 * playback->frame_count() + 3 && i < 300 && pixels < step_pixel_budget;
         ++i, pixels += screen) {
      const int delay = playback->step();
      if (delay < 10) std::abort();
    }
    const auto& composed = playback->composed();
    if (composed.width != playback->width() || composed.height != playback->height()) std::abort();
  }
  return 0;
}
