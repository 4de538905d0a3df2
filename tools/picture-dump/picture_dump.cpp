// picture-dump FILE [OUT.pam] [--frames DIR]
//
// Decodes FILE as the picture box does (animate on) and prints one line: the format name, the
// size as WIDTHxHEIGHT and, for an animated GIF, frames=N. OUT.pam receives the still picture
// (for an animated GIF its first composed frame); --frames DIR receives every composed frame of
// one pass as DIR/frame-NNN.pam, each with a line that gives its delay.
// Exit status: 0 decoded, 1 unknown or undecodable, 2 usage or file error.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "picture/decode.h"

namespace {

namespace fs = std::filesystem;
using miaohui::Image;

constexpr int exit_decoded = 0;
constexpr int exit_not_decoded = 1;
constexpr int exit_usage = 2;

struct Options {
  fs::path input;
  std::optional<fs::path> still_out;
  std::optional<fs::path> frames_dir;
};

int usage() {
  std::cerr << "usage: picture-dump FILE [OUT.pam] [--frames DIR]\n";
  return exit_usage;
}

std::optional<Options> parse(int argc, char** argv) {
  Options options;
  std::vector<std::string> plain;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--frames") {
      if (i + 1 >= argc || options.frames_dir) return std::nullopt;
      options.frames_dir = argv[++i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      return std::nullopt;
    } else {
      plain.push_back(arg);
    }
  }
  if (plain.empty() || plain.size() > 2) return std::nullopt;
  options.input = plain[0];
  if (plain.size() == 2) options.still_out = plain[1];
  return options;
}

std::optional<std::vector<std::uint8_t>> read_all(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

// A PAM file of straight (not premultiplied) RGBA.
bool write_pam(const fs::path& path, const Image& image) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "P7\nWIDTH " << image.width << "\nHEIGHT " << image.height
      << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  out.write(reinterpret_cast<const char*>(image.rgba.data()),
            static_cast<std::streamsize>(image.rgba.size()));
  out.close();
  return static_cast<bool>(out);
}

std::string frame_name(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%03d.pam", index);
  return name;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = parse(argc, argv);
  if (!options) return usage();
  const auto bytes = read_all(options->input);
  if (!bytes) {
    std::cerr << "picture-dump: cannot read " << options->input << "\n";
    return exit_usage;
  }

  miaohui::DecodedPicture picture = miaohui::decode_picture(*bytes, true);
  const std::string name(miaohui::format_name(picture.format));
  if (picture.format == miaohui::PictureFormat::unknown) {
    std::cout << "unknown\n";
    return exit_not_decoded;
  }
  if (picture.empty()) {
    std::cout << name << " undecodable\n";
    return exit_not_decoded;
  }

  miaohui::GifPlayback* playback = picture.playback.get();
  const int width = playback ? playback->width() : picture.still.width;
  const int height = playback ? playback->height() : picture.still.height;
  std::cout << name << ' ' << width << 'x' << height;
  if (playback) std::cout << " frames=" << playback->frame_count();
  std::cout << '\n';

  // The first composed frame, kept apart because stepping on for --frames changes it.
  Image first;
  std::vector<int> delays;
  if (playback) {
    delays.push_back(playback->step());
    first = playback->composed();
  }
  const Image& still = playback ? first : picture.still;

  if (options->still_out && !write_pam(*options->still_out, still)) {
    std::cerr << "picture-dump: cannot write " << *options->still_out << "\n";
    return exit_usage;
  }

  if (options->frames_dir) {
    std::error_code ec;
    fs::create_directories(*options->frames_dir, ec);
    const int count = playback ? playback->frame_count() : 1;
    for (int i = 0; i < count; ++i) {
      if (i > 0) delays.push_back(playback->step());
      const Image& frame = (playback && i > 0) ? playback->composed() : still;
      const fs::path path = *options->frames_dir / frame_name(i);
      if (!write_pam(path, frame)) {
        std::cerr << "picture-dump: cannot write " << path << "\n";
        return exit_usage;
      }
      std::cout << frame_name(i);
      if (playback) std::cout << " delay=" << delays[static_cast<std::size_t>(i)] << "ms";
      std::cout << '\n';
    }
  }
  return exit_decoded;
}
