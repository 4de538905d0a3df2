#include <gtest/gtest.h>

#include <string>

#include "picture/decode.h"
#include "picture/decode_craft.h"
#include "support/testdata.h"

namespace miaohui {
namespace {

struct DetectCase {
  const char* name;
  Bytes head;
  PictureFormat expected;

  friend void PrintTo(const DetectCase& c, std::ostream* os) { *os << c.name; }
};

class DetectFormat : public testing::TestWithParam<DetectCase> {};

TEST_P(DetectFormat, FollowsTheOrderedTable) {
  EXPECT_EQ(detect_format(GetParam().head), GetParam().expected);
}

// Eight bytes each unless the case is about length; the tail is filler.
INSTANTIATE_TEST_SUITE_P(
    Table, DetectFormat,
    testing::Values(
        DetectCase{"bmp", {'B', 'M', 0, 0, 0, 0, 0, 0}, PictureFormat::bmp},
        DetectCase{"jpeg", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0, 0}, PictureFormat::jpeg},
        DetectCase{"png", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, PictureFormat::png},
        DetectCase{"png_needs_only_four_bytes", {0x89, 'P', 'N', 'G', 1, 2, 3, 4}, PictureFormat::png},
        DetectCase{"ico", {0, 0, 1, 0, 1, 0, 32, 32}, PictureFormat::ico},
        DetectCase{"ico_count_in_high_byte", {0, 0, 1, 0, 0, 1, 0, 0}, PictureFormat::ico},
        DetectCase{"ico_without_images", {0, 0, 1, 0, 0, 0, 32, 32}, PictureFormat::unknown},
        DetectCase{"cur", {0, 0, 2, 0, 1, 0, 32, 32}, PictureFormat::cur},
        DetectCase{"type_three_is_neither", {0, 0, 3, 0, 1, 0, 32, 32}, PictureFormat::unknown},
        DetectCase{"gif87a", {'G', 'I', 'F', '8', '7', 'a', 1, 0}, PictureFormat::gif},
        DetectCase{"gif89a", {'G', 'I', 'F', '8', '9', 'a', 1, 0}, PictureFormat::gif},
        DetectCase{"gif88a", {'G', 'I', 'F', '8', '8', 'a', 1, 0}, PictureFormat::unknown},
        DetectCase{"gif89b", {'G', 'I', 'F', '8', '9', 'b', 1, 0}, PictureFormat::unknown},
        DetectCase{"pcx8_version0", {0x0A, 0, 1, 8, 0, 0, 0, 0}, PictureFormat::pcx8},
        DetectCase{"pcx8_version5", {0x0A, 5, 1, 8, 0, 0, 0, 0}, PictureFormat::pcx8},
        DetectCase{"pcx8_version6", {0x0A, 6, 1, 8, 0, 0, 0, 0}, PictureFormat::unknown},
        DetectCase{"pcx8_not_rle", {0x0A, 5, 0, 8, 0, 0, 0, 0}, PictureFormat::unknown},
        DetectCase{"pcx1_version3", {0x0A, 3, 1, 1, 0, 0, 0, 0}, PictureFormat::pcx1},
        DetectCase{"pcx1_version5", {0x0A, 5, 1, 1, 0, 0, 0, 0}, PictureFormat::unknown},
        DetectCase{"pcx1_version2", {0x0A, 2, 1, 1, 0, 0, 0, 0}, PictureFormat::unknown},
        DetectCase{"pcx4bit", {0x0A, 3, 1, 4, 0, 0, 0, 0}, PictureFormat::unknown},
        DetectCase{"seven_bytes_of_jpeg", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0}, PictureFormat::unknown},
        DetectCase{"seven_bytes_of_bmp", {'B', 'M', 0, 0, 0, 0, 0}, PictureFormat::unknown},
        DetectCase{"empty", {}, PictureFormat::unknown},
        DetectCase{"html", test::as_bytes("<html><body>404</body></html>"),
                   PictureFormat::unknown}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormatName, NamesEachFormatOnce) {
  EXPECT_EQ(format_name(PictureFormat::jpeg), "JPEG");
  EXPECT_EQ(format_name(PictureFormat::png), "PNG");
  EXPECT_EQ(format_name(PictureFormat::bmp), "BMP");
  EXPECT_EQ(format_name(PictureFormat::gif), "GIF");
  EXPECT_EQ(format_name(PictureFormat::ico), "ICO");
  EXPECT_EQ(format_name(PictureFormat::cur), "CUR");
  EXPECT_EQ(format_name(PictureFormat::pcx8), "PCX");
  EXPECT_EQ(format_name(PictureFormat::pcx1), "PCX");
  EXPECT_EQ(format_name(PictureFormat::unknown), "unknown");
}

TEST(DecodePicture, RunsTheDecoderOfTheDetectedFormat) {
  // 1 x 1, 24 bits: one blue-green-red pixel and a padding byte.
  const Bytes bmp = test::make_bmp(1, 1, 24, {}, {0x30, 0x20, 0x10, 0});
  const DecodedPicture picture = decode_picture(bmp, true);
  EXPECT_EQ(picture.format, PictureFormat::bmp);
  ASSERT_FALSE(picture.empty());
  EXPECT_FALSE(picture.playback);
  EXPECT_EQ(test::pixel(picture.still, 0, 0), (test::Rgba{0x10, 0x20, 0x30, 0xFF}));
}

TEST(DecodePicture, KeepsTheDetectedFormatWhenTheDecoderRefuses) {
  Bytes bmp = test::make_bmp(1, 1, 24, {}, {0x30, 0x20, 0x10, 0});
  bmp.resize(bmp.size() - 1);  // the row ends early
  const DecodedPicture picture = decode_picture(bmp, true);
  EXPECT_EQ(picture.format, PictureFormat::bmp);
  EXPECT_TRUE(picture.empty());
}

TEST(DecodePicture, UnknownBytesGiveNothing) {
  const DecodedPicture picture = decode_picture(test::as_bytes("<html>not found</html>"), true);
  EXPECT_EQ(picture.format, PictureFormat::unknown);
  EXPECT_TRUE(picture.empty());
}

}  // namespace
}  // namespace miaohui
