// The whole road from bytes: detection, decoding and, for an animated GIF, a few hundred
// playback steps, as the picture box drives them.
#include <cstdlib>

#include "picture/decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const auto format = miaohui::detect_format(bytes);
  if (size < 8 && format != miaohui::PictureFormat::unknown) std::abort();
  miaohui::DecodedPicture picture = miaohui::decode_picture(bytes, true);
  if (!picture.empty() && picture.format != format) std::abort();
  if (picture.playback) {
    for (int i = 0; i < 300; ++i) picture.playback->step();
  }
  return 0;
}
