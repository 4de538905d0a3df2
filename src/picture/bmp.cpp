#include "picture/decode.h"

namespace miaohui {

Image decode_bmp(std::span<const std::uint8_t>) { return {}; }

}  // namespace miaohui
