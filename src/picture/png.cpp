#include "picture/decode.h"

namespace miaohui {

Image decode_png(std::span<const std::uint8_t>) { return {}; }

}  // namespace miaohui
