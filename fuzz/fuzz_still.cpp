// Any bytes through one still-picture decoder, named by MIAOHUI_FUZZ_DECODER at build time: it
// must give a picture within the size bound, or none.
#include <cstdlib>

#include "picture/decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const miaohui::Image image = miaohui::MIAOHUI_FUZZ_DECODER({data, size});
  if (!image.empty() &&
      (image.width <= 0 || image.height <= 0 || image.width > miaohui::max_picture_side ||
       image.height > miaohui::max_picture_side ||
       image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4)) {
    std::abort();
  }
  return 0;
}
