#include "desktop/save.h"

namespace miaohui {

void save_picture(std::span<const std::uint8_t> picture) {
  // No desktop leaves the bare name, which lands in the current folder: the program's own.
  const std::string path = desktop_folder() + std::string(saved_picture_name);
  write_bytes_file(path, picture);
}

}  // namespace miaohui
