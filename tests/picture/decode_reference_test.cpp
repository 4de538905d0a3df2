// Pixels compared with stb_image, an independent decoder, on every public JPEG, PNG and BMP
// that both decode, and on JPEGs made here in the shapes the corpus lacks.
//
// Where the two are allowed to differ:
// - JPEG: each library has its own inverse DCT and chroma upsampling, so colours may differ by
//   a few levels; the mean difference stays small.
// - PNG: stb_image ignores gamma and colour chunks while libpng corrects gamma, so those
//   chunks are taken out of the file that both decoders see. 16-bit samples are brought to 8
//   bits by rounding in libpng and by truncation in stb_image: at most 1 apart.
// - BMP: stb_image takes the fourth byte of a 32-bit pixel as alpha; here it is unused, so
//   only colour is compared and the picture must be opaque.

#include <gtest/gtest.h>

#include <stb/stb_image.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "picture/decode.h"
#include "picture/decode_encode.h"
#include "support/testdata.h"

namespace miaohui {
namespace {

namespace fs = std::filesystem;

struct Known {
  const char* file;
  const char* why;
};

// Files on which stb_image is the one that is off.
const Known reference_differs[] = {
    {"pal8badindex.bmp", "stb_image shows entries past the palette; here they are black"},
    {"pal8os2sp.bmp", "stb_image takes two entries fewer of a short OS/2 1.x palette"},
};

struct Reference {
  int width = 0, height = 0;
  std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> rgba{nullptr, &stbi_image_free};
};

Reference stb_decode(const Bytes& bytes) {
  Reference ref;
  int channels = 0;
  ref.rgba.reset(stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &ref.width,
                                       &ref.height, &channels, 4));
  return ref;
}

// The PNG without its gAMA, cHRM, sRGB and iCCP chunks.
Bytes without_colour_chunks(const Bytes& png) {
  Bytes out(png.begin(), png.begin() + 8);
  std::size_t at = 8;
  while (at + 12 <= png.size()) {
    const std::size_t length = (std::size_t{png[at]} << 24) | (std::size_t{png[at + 1]} << 16) |
                               (std::size_t{png[at + 2]} << 8) | png[at + 3];
    const std::string type(png.begin() + static_cast<long>(at) + 4,
                           png.begin() + static_cast<long>(at) + 8);
    const std::size_t end = std::min(png.size(), at + 12 + length);
    if (type != "gAMA" && type != "cHRM" && type != "sRGB" && type != "iCCP") {
      out.insert(out.end(), png.begin() + static_cast<long>(at), png.begin() + static_cast<long>(end));
    }
    at = end;
  }
  return out;
}

struct Tolerance {
  int max_difference = 0;
  double max_mean = 0;
  bool compare_alpha = true;
};

void expect_like_reference(const Image& ours, const Reference& ref, const Tolerance& tol) {
  ASSERT_TRUE(ref.rgba) << "stb_image could not decode it";
  ASSERT_EQ(ours.width, ref.width);
  ASSERT_EQ(ours.height, ref.height);
  int worst = 0;
  long long sum = 0;
  int alpha_off = 0;
  for (std::size_t i = 0; i < ours.rgba.size(); ++i) {
    const int d = std::abs(ours.rgba[i] - ref.rgba.get()[i]);
    if (i % 4 == 3) {
      if (tol.compare_alpha) alpha_off = std::max(alpha_off, d);
      else if (ours.rgba[i] != 0xFF) alpha_off = 256;
    } else {
      worst = std::max(worst, d);
      sum += d;
    }
  }
  const double mean = static_cast<double>(sum) / (static_cast<double>(ours.rgba.size()) * 0.75);
  EXPECT_LE(worst, tol.max_difference);
  EXPECT_LE(mean, tol.max_mean);
  EXPECT_LE(alpha_off, tol.compare_alpha ? tol.max_difference : 0);
}

TEST(ReferenceDecoder, PublicFilesMatchStbImage) {
  const fs::path root = test::testdata_dir();
  if (!fs::is_directory(root)) GTEST_SKIP() << "public picture suites not found: " << root;
  int compared = 0;
  for (const char* folder : {"bmpsuite", "pngsuite", "pillow", "image-rs"}) {
    if (!fs::is_directory(root / folder)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
      if (!entry.is_regular_file()) continue;
      const std::string name = entry.path().filename().string();
      if (std::any_of(std::begin(reference_differs), std::end(reference_differs),
                      [&](const Known& k) { return name == k.file; })) {
        continue;
      }
      Bytes bytes = test::read_file(entry.path());
      const PictureFormat format = detect_format(bytes);
      Tolerance tol;
      if (format == PictureFormat::png) {
        bytes = without_colour_chunks(bytes);
        if (bytes.size() > 24 && bytes[24] == 16) tol.max_difference = 1, tol.max_mean = 1;
      } else if (format == PictureFormat::jpeg) {
        tol = {8, 0.5, true};
      } else if (format == PictureFormat::bmp) {
        tol.compare_alpha = false;
      } else {
        continue;
      }
      const Image ours = decode_picture(bytes, true).still;
      if (ours.empty()) continue;  // what is rejected is checked against the READMEs
      const Reference ref = stb_decode(bytes);
      if (!ref.rgba) continue;  // headers stb_image does not read (OS/2 2.x, large palettes)
      SCOPED_TRACE(entry.path().string());
      expect_like_reference(ours, ref, tol);
      ++compared;
    }
  }
  // Most of the suites' JPEG, PNG and BMP files are compared; a broken walk would compare none.
  EXPECT_GT(compared, 150);
}

// A picture with smooth areas, edges and noise, so that every 8 x 8 block has detail.
std::vector<std::uint8_t> busy_samples(int width, int height, int components) {
  std::vector<std::uint8_t> samples;
  unsigned noise = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1103515245u + 12345u;
      const int n = static_cast<int>((noise >> 16) & 31) - 16;
      const int base[4] = {x * 255 / width, y * 255 / height, ((x / 7 + y / 5) % 2) * 200 + 20,
                           (x + y) % 256};
      for (int c = 0; c < components; ++c) {
        samples.push_back(static_cast<std::uint8_t>(std::clamp(base[c] + n, 0, 255)));
      }
    }
  }
  return samples;
}

struct MadeJpeg {
  const char* name;
  int width, height;
  test::JpegKind kind;
  bool progressive;
  int quality;

  friend void PrintTo(const MadeJpeg& c, std::ostream* os) { *os << c.name; }
};

class ReferenceJpeg : public testing::TestWithParam<MadeJpeg> {};

TEST_P(ReferenceJpeg, MatchesStbImage) {
  const MadeJpeg& c = GetParam();
  const int components = c.kind == test::JpegKind::grey ? 1 : 3;
  test::JpegOptions options;
  options.progressive = c.progressive;
  options.quality = c.quality;
  const Bytes jpeg = test::encode_jpeg(c.width, c.height, c.kind,
                                       busy_samples(c.width, c.height, components), options);
  const Image ours = decode_jpeg(jpeg);
  ASSERT_FALSE(ours.empty());
  expect_like_reference(ours, stb_decode(jpeg), {8, 0.5, true});
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ReferenceJpeg,
    testing::Values(MadeJpeg{"baseline_odd_size", 67, 45, test::JpegKind::rgb, false, 90},
                    MadeJpeg{"baseline_low_quality", 64, 64, test::JpegKind::rgb, false, 30},
                    MadeJpeg{"progressive", 97, 33, test::JpegKind::rgb, true, 85},
                    MadeJpeg{"grey", 50, 70, test::JpegKind::grey, false, 90},
                    MadeJpeg{"grey_progressive", 31, 17, test::JpegKind::grey, true, 75}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace miaohui
