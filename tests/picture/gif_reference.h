#pragma once

// Reference pictures of the public suites (PNG, raw RGBA, raw RGB) and how ours compare.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

#include "picture/decode.h"

namespace miaohui::test {

// A PNG through stb_image, as 8-bit RGBA.
std::optional<Image> load_png_reference(const std::filesystem::path& path);

// Raw 8-bit RGBA of a known size.
std::optional<Image> load_rgba_reference(const std::filesystem::path& path, int width, int height);

// Empty when the two pictures agree, else what differs first. Pixels transparent in both
// agree whatever their colour. With rgb_only, the reference's alpha is ignored and only
// pixels opaque in ours are compared.
std::string compare_pictures(const Image& ours, const Image& reference, bool rgb_only = false);

}  // namespace miaohui::test
