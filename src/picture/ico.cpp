#include "picture/decode.h"

namespace miaohui {

Image decode_ico(std::span<const std::uint8_t>) { return {}; }

}  // namespace miaohui
