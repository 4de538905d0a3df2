// The whole road from bytes: detection, decoding and, for an animated GIF, a few hundred
// playback steps, as the picture box drives them.
#include <cstdlib>

#include "picture/decode.h"

namespace {

// A step composes at most one screen of pixels. Three hundred steps of a large screen are
// seconds of sound work under the sanitizers (about 20 ns a pixel), so the steps stop at
// about 2^24 pixels: screens up to about 236 x 236 still get all 300 steps, a 1000 x 1000
// screen 17, and the time-out still catches a step that hangs.
constexpr std::int64_t step_pixel_budget = std::int64_t{1} << 24;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const auto format = miaohui::detect_format(bytes);
  if (size < 8 && format != miaohui::PictureFormat::unknown) std::abort();
  miaohui::DecodedPicture picture = miaohui::decode_picture(bytes, true);
  if (!picture.empty() && picture.format != format) std::abort();
  if (picture.playback) {
    const std::int64_t screen = std::int64_t{picture.playback->width()} * picture.playback->height();
    std::int64_t composed = 0;
    for (int i = 0; i < 300 && composed < step_pixel_budget; ++i, composed += screen) {
      if (picture.playback->step() < 10) std::abort();
    }
  }
  return 0;
}
