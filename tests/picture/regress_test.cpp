// Every input the fuzzers found, decoded as the picture box decodes it (animate on, a few
// playback steps) and by the decoder its fuzz target drives. A file gives no picture unless
// its name ends in ".<width>x<height>.<ext>", which gives the size it must decode to.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "picture/decode.h"
#include "support/testdata.h"

namespace miaohui {
namespace {

namespace fs = std::filesystem;

using Decoder = Image (*)(std::span<const std::uint8_t>);

struct Size {
  int width = 0;
  int height = 0;
};

const fs::path regressions_dir = MIAOHUI_FUZZ_REGRESSIONS_DIR;

// The decoder a target feeds directly; fuzz_picture goes through decode_picture alone.
Decoder target_decoder(const std::string& target) {
  if (target == "fuzz_bmp") return decode_bmp;
  if (target == "fuzz_jpeg") return decode_jpeg;
  if (target == "fuzz_png") return decode_png;
  if (target == "fuzz_ico") return decode_ico;
  if (target == "fuzz_pcx") return decode_pcx;
  if (target == "fuzz_gif") return decode_gif_still;
  return nullptr;
}

// Decoding one file may take at most this much address space (the fuzzers' memory limit).
constexpr std::int64_t memory_budget = std::int64_t{1} << 30;

// The process's peak of mapped memory, from /proc (0 where it cannot be read). A large block
// is mapped when it is taken, touched or not, so this sees what RSS would not.
std::int64_t peak_mapped_bytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmPeak:") {
      std::int64_t kib = 0;
      status >> kib;
      return kib * 1024;
    }
    status.ignore(1 << 12, '\n');
  }
  return 0;
}

std::optional<Size> expected_size(const fs::path& file) {
  static const std::regex size_suffix(R"(.*\.([0-9]+)x([0-9]+))");
  std::smatch m;
  const std::string stem = file.stem().string();
  if (!std::regex_match(stem, m, size_suffix)) return std::nullopt;
  return Size{std::stoi(m[1]), std::stoi(m[2])};
}

std::vector<fs::path> regression_files() {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& target : fs::directory_iterator(regressions_dir, ec)) {
    if (!target.is_directory() || target.path().filename() == "fuzz_url_encode") continue;
    for (const auto& file : fs::directory_iterator(target.path())) {
      if (file.is_regular_file()) files.push_back(file.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string case_name(const testing::TestParamInfo<fs::path>& info) {
  std::string name = info.param.parent_path().filename().string() + "_" +
                     info.param.filename().string();
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

class FuzzRegression : public testing::TestWithParam<fs::path> {};

TEST_P(FuzzRegression, DecodesAsItsNameSays) {
  const fs::path& file = GetParam();
  const Bytes bytes = test::read_file(file);
  ASSERT_FALSE(bytes.empty()) << file;
  const std::optional<Size> size = expected_size(file);

  const std::int64_t peak_before = peak_mapped_bytes();
  DecodedPicture picture = decode_picture(bytes, true);
  if (picture.playback) {
    for (int i = 0; i < 5; ++i) EXPECT_GE(picture.playback->step(), 10);
    const Image& composed = picture.playback->composed();
    EXPECT_EQ(composed.rgba.size(), std::size_t(composed.width) * composed.height * 4);
  }
  if (!size) {
    EXPECT_TRUE(picture.empty()) << file << " gave a picture";
  } else if (picture.playback) {
    EXPECT_EQ(picture.playback->width(), size->width);
    EXPECT_EQ(picture.playback->height(), size->height);
  } else {
    ASSERT_FALSE(picture.still.empty()) << file << " gave no picture";
    EXPECT_EQ(picture.still.width, size->width);
    EXPECT_EQ(picture.still.height, size->height);
  }

  if (const Decoder decode = target_decoder(file.parent_path().filename().string())) {
    const Image image = decode(bytes);
    if (!size) {
      EXPECT_TRUE(image.empty()) << file << " gave a picture to its own decoder";
    } else {
      EXPECT_EQ(image.width, size->width);
      EXPECT_EQ(image.height, size->height);
    }
  }
  // The peak only grows, so within one process a later file may hide its share, never
  // gain one; ctest runs each file in a process of its own.
  EXPECT_LE(peak_mapped_bytes() - peak_before, memory_budget) << file << " took too much memory";
}

INSTANTIATE_TEST_SUITE_P(Found, FuzzRegression, testing::ValuesIn(regression_files()), case_name);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FuzzRegression);

}  // namespace
}  // namespace miaohui
