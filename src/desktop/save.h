#pragma once

#include <span>
#include <string>
#include <string_view>
#include <cstdint>

namespace miaohui {

// The user's desktop folder ending in "/", or empty when HOME is unset.
std::string desktop_folder();

// Writes data to path through a temporary file renamed over it, so that a failed write leaves
// an earlier file whole. False when the file was not written in full.
bool write_bytes_file(const std::string& path, std::span<const std::uint8_t> data);

// Writes the shown picture's bytes, as they came, to "炫耀照.jpg" on the desktop.
void save_picture(std::span<const std::uint8_t> picture);

inline constexpr std::string_view saved_picture_name = "炫耀照.jpg";

}  // namespace miaohui
