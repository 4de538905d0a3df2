#include "picture/decode.h"

namespace miaohui {

Image decode_gif_still(std::span<const std::uint8_t>) { return {}; }

std::unique_ptr<GifPlayback> GifPlayback::open(std::span<const std::uint8_t>) { return nullptr; }

}  // namespace miaohui
