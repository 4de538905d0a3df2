#include "picture/gif_reference.h"

#include <cstring>

#include "support/testdata.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb/stb_image.h>

namespace miaohui::test {

std::optional<Image> load_png_reference(const std::filesystem::path& path) {
  const Bytes file = read_file(path);
  if (file.empty()) return std::nullopt;
  int width = 0;
  int height = 0;
  int channels = 0;
  stbi_uc* data = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width, &height,
                                        &channels, 4);
  if (!data) return std::nullopt;
  Image image;
  image.width = width;
  image.height = height;
  image.rgba.assign(data, data + static_cast<std::size_t>(width) * height * 4);
  stbi_image_free(data);
  return image;
}

std::optional<Image> load_rgba_reference(const std::filesystem::path& path, int width, int height) {
  Bytes file = read_file(path);
  if (file.size() != static_cast<std::size_t>(width) * height * 4) return std::nullopt;
  Image image;
  image.width = width;
  image.height = height;
  image.rgba = std::move(file);
  return image;
}

std::string compare_pictures(const Image& ours, const Image& reference, bool rgb_only) {
  std::ostringstream why;
  if (ours.width != reference.width || ours.height != reference.height) {
    why << "size " << ours.width << "x" << ours.height << ", reference " << reference.width << "x"
        << reference.height;
    return why.str();
  }
  int differing = 0;
  for (std::size_t i = 0; i + 3 < ours.rgba.size(); i += 4) {
    const std::uint8_t* a = &ours.rgba[i];
    const std::uint8_t* b = &reference.rgba[i];
    bool same;
    if (rgb_only) {
      same = a[3] != 255 || std::memcmp(a, b, 3) == 0;
    } else {
      same = (a[3] == 0 && b[3] == 0) || std::memcmp(a, b, 4) == 0;
    }
    if (same) continue;
    if (differing++ == 0) {
      const std::size_t n = i / 4;
      why << "pixel (" << n % static_cast<std::size_t>(ours.width) << ","
          << n / static_cast<std::size_t>(ours.width) << ") is " << int{a[0]} << "," << int{a[1]}
          << "," << int{a[2]} << "," << int{a[3]} << ", reference " << int{b[0]} << "," << int{b[1]}
          << "," << int{b[2]} << "," << int{b[3]};
    }
  }
  if (differing > 0) why << "; " << differing << " pixels differ";
  return why.str();
}

}  // namespace miaohui::test
