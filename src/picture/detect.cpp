#include "picture/decode.h"

namespace miaohui {

PictureFormat detect_format(std::span<const std::uint8_t>) { return PictureFormat::unknown; }

std::string_view format_name(PictureFormat) { return "unknown"; }

DecodedPicture decode_picture(std::span<const std::uint8_t>, bool) { return {}; }

}  // namespace miaohui
