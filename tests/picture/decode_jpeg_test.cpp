// JPEG pictures written with libjpeg, read back through decode_jpeg. JPEG is lossy: colours
// are compared within a tolerance, at pixels away from colour edges.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "picture/decode.h"
#include "picture/decode_craft.h"
#include "picture/decode_encode.h"

namespace miaohui {
namespace {

using test::JpegKind;
using test::Rgba;

constexpr int tolerance = 6;

testing::AssertionResult near(const Rgba& got, const Rgba& want) {
  const auto off = [](int a, int b) { return std::abs(a - b) > tolerance; };
  if (off(got.r, want.r) || off(got.g, want.g) || off(got.b, want.b) || got.a != want.a) {
    return testing::AssertionFailure() << got << " is not near " << want;
  }
  return testing::AssertionSuccess();
}

// A 16 x 16 picture of four solid 8 x 8 quadrants; `n` samples a pixel.
std::vector<std::uint8_t> quadrants(const std::vector<std::vector<std::uint8_t>>& colours) {
  std::vector<std::uint8_t> samples;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const auto& c = colours[(y / 8) * 2 + x / 8];
      samples.insert(samples.end(), c.begin(), c.end());
    }
  }
  return samples;
}

struct ColourCase {
  const char* name;
  JpegKind kind;
  std::vector<std::vector<std::uint8_t>> stored;  // the four quadrants, as the file stores them
  std::vector<Rgba> shown;                        // and as they are to be shown
  bool adobe_marker = true;

  friend void PrintTo(const ColourCase& c, std::ostream* os) { *os << c.name; }
};

class JpegColours : public testing::TestWithParam<ColourCase> {};

TEST_P(JpegColours, ComeOutAsRgb) {
  const ColourCase& c = GetParam();
  test::JpegOptions options;
  options.adobe_marker = c.adobe_marker;
  const Image image = decode_jpeg(test::encode_jpeg(16, 16, c.kind, quadrants(c.stored), options));
  ASSERT_FALSE(image.empty());
  ASSERT_EQ(image.width, 16);
  ASSERT_EQ(image.height, 16);
  EXPECT_FALSE(image.has_alpha);
  for (int q = 0; q < 4; ++q) {
    EXPECT_TRUE(near(test::pixel(image, 4 + (q % 2) * 8, 4 + (q / 2) * 8), c.shown[q])) << q;
  }
}

constexpr Rgba red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255};
constexpr Rgba yellow{255, 255, 0, 255}, grey{128, 128, 128, 255}, white{255, 255, 255, 255};

INSTANTIATE_TEST_SUITE_P(
    ColourSpaces, JpegColours,
    testing::Values(
        ColourCase{"rgb", JpegKind::rgb, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {128, 128, 128}},
                   {red, green, blue, grey}},
        // One component: each pixel's grey in all three colours.
        ColourCase{"grey", JpegKind::grey, {{0}, {255}, {128}, {60}},
                   {{0, 0, 0, 255}, white, grey, {60, 60, 60, 255}}},
        // With an Adobe marker the inks are stored inverted: 255 is no ink.
        ColourCase{"cmyk_adobe", JpegKind::cmyk,
                   {{255, 0, 0, 255}, {0, 255, 0, 255}, {255, 255, 0, 255}, {255, 255, 255, 128}},
                   {red, {0, 255, 0, 255}, yellow, grey}},
        ColourCase{"ycck_adobe", JpegKind::ycck,
                   {{255, 0, 0, 255}, {0, 255, 255, 255}, {255, 255, 0, 255}, {255, 255, 255, 128}},
                   {red, {0, 255, 255, 255}, yellow, grey}},
        // Without it they are stored plainly: 0 is no ink.
        ColourCase{"cmyk_plain", JpegKind::cmyk,
                   {{0, 255, 255, 0}, {255, 0, 255, 0}, {0, 0, 0, 0}, {0, 0, 0, 127}},
                   {red, green, white, grey},
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

// Bytes up to the first scan's marker, or the whole file.
std::size_t first_scan_at(const Bytes& jpeg) {
  const Bytes marker = {0xFF, 0xDA};
  return static_cast<std::size_t>(
      std::search(jpeg.begin(), jpeg.end(), marker.begin(), marker.end()) - jpeg.begin());
}

// The file cut in its first scan's data, `fraction` of the way through.
Bytes cut_in_scan(const Bytes& jpeg, double fraction) {
  const std::size_t start = first_scan_at(jpeg);
  return Bytes(jpeg.begin(),
               jpeg.begin() + static_cast<long>(start + (jpeg.size() - start) * fraction));
}

// A 32 x 32 gradient: every 8 x 8 block differs, so a wrong row shows.
Bytes gradient_jpeg(bool progressive = false) {
  std::vector<std::uint8_t> samples;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      samples.insert(samples.end(), {static_cast<std::uint8_t>(x * 8), static_cast<std::uint8_t>(y * 8),
                                     static_cast<std::uint8_t>((x + y) * 4)});
    }
  }
  test::JpegOptions options;
  options.progressive = progressive;
  return test::encode_jpeg(32, 32, JpegKind::rgb, samples, options);
}

TEST(DecodeJpeg, TruncatedFileShowsTheRowsItHolds) {
  const Bytes whole = gradient_jpeg();
  const Image full = decode_jpeg(whole);
  ASSERT_FALSE(full.empty());
  const Image part = decode_jpeg(cut_in_scan(whole, 0.75));
  ASSERT_FALSE(part.empty());
  ASSERT_EQ(part.width, 32);
  ASSERT_EQ(part.height, 32);
  // The first row of 16 x 16 blocks lies well inside the first three quarters of the scan.
  // Its last rows take chroma from the blocks below (smooth upsampling), so stop short of them.
  EXPECT_TRUE(std::equal(full.rgba.begin(), full.rgba.begin() + 32 * 12 * 4, part.rgba.begin()));
}

TEST(DecodeJpeg, NoImageBeforeTheFirstScan) {
  const Bytes whole = gradient_jpeg();
  const std::size_t sos = first_scan_at(whole);
  ASSERT_LT(sos, whole.size());
  EXPECT_TRUE(decode_jpeg(Bytes(whole.begin(), whole.begin() + static_cast<long>(sos))).empty());
}

TEST(DecodeJpeg, ErrorsAndWarningsPrintNothing) {
  const Bytes whole = gradient_jpeg();
  Bytes bad_frame = whole;
  // The frame header's precision byte: 12 bits is refused by an 8-bit decoder.
  const Bytes marker = {0xFF, 0xC0};
  const auto sof = std::search(bad_frame.begin(), bad_frame.end(), marker.begin(), marker.end());
  ASSERT_NE(sof, bad_frame.end());
  sof[4] = 12;
  const Bytes truncated = cut_in_scan(whole, 0.5);

  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  EXPECT_TRUE(decode_jpeg(bad_frame).empty());
  EXPECT_FALSE(decode_jpeg(truncated).empty());  // libjpeg warns of the early end
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// The last scan of a progressive file repeated `copies` more times before its end marker.
Bytes with_repeated_last_scan(const Bytes& jpeg, int copies) {
  const Bytes marker = {0xFF, 0xDA};
  const auto last_sos = std::find_end(jpeg.begin(), jpeg.end(), marker.begin(), marker.end());
  const auto eoi = jpeg.end() - 2;
  Bytes out(jpeg.begin(), eoi);
  for (int i = 0; i < copies; ++i) out.insert(out.end(), last_sos, eoi);
  out.insert(out.end(), eoi, jpeg.end());
  return out;
}

TEST(DecodeJpeg, RefusesProgressiveFilesWithAbsurdlyManyScans) {
  // Each scan is a pass over the whole picture, so a few kilobytes of repeated scans could
  // keep the decoder busy for minutes on a large picture.
  const Bytes progressive = gradient_jpeg(true);
  EXPECT_FALSE(decode_jpeg(with_repeated_last_scan(progressive, 100)).empty());
  EXPECT_TRUE(decode_jpeg(with_repeated_last_scan(progressive, 600)).empty());
}

TEST(DecodeJpeg, BoundsTheBlocksThatAllScansVisit) {
  // A scan visits every block of its components whatever its data holds: 450 scans over a
  // 5-megapixel picture are 37 million block visits, most of a second for a few kilobytes.
  constexpr int width = 2560, height = 2048;
  const std::vector<std::uint8_t> flat(std::size_t{width} * height, 128);
  test::JpegOptions options;
  options.progressive = true;
  const Bytes progressive = test::encode_jpeg(width, height, test::JpegKind::grey, flat, options);
  EXPECT_FALSE(decode_jpeg(with_repeated_last_scan(progressive, 100)).empty());
  EXPECT_TRUE(decode_jpeg(with_repeated_last_scan(progressive, 450)).empty());
}

}  // namespace
}  // namespace miaohui
