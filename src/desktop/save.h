#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace miaohui {

// The user's desktop folder, ending in "/": XDG_DESKTOP_DIR of user-dirs.dirs when it names an
// existing folder, else $HOME/Desktop when that exists, else $HOME. Empty when HOME is unset.
// Never creates anything.
std::string desktop_folder();

// Writes data to path through a temporary file in the same folder that is flushed and renamed
// over path, so that a failed write leaves an earlier file whole and no temporary file behind.
// False when path is empty or the file was not written in full.
bool write_bytes_file(const std::string& path, std::span<const std::uint8_t> data);

// Writes the shown picture's bytes, as they came, to "炫耀照.jpg" on the desktop (in the current
// folder when there is no desktop). Empty bytes give an empty file; failures are silent.
void save_picture(std::span<const std::uint8_t> picture);

inline constexpr std::string_view saved_picture_name = "炫耀照.jpg";

}  // namespace miaohui
