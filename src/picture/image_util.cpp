#include "picture/image_util.h"

namespace miaohui::detail {

Image make_image(std::int64_t width, std::int64_t height) {
  Image image;
  if (!picture_size_ok(width, height)) return image;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.rgba.assign(static_cast<std::size_t>(width * height) * 4, 0);
  return image;
}

}  // namespace miaohui::detail
