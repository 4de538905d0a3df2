// Bytes that must give no picture, and in-process mutation: every byte of a good file changed
// in turn, then the file cut short at every length. Nothing may crash or read or write out of
// bounds (the asan preset runs this suite); what decodes must be a whole, bounded picture.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "picture/decode.h"
#include "picture/decode_craft.h"
#include "picture/decode_encode.h"

namespace miaohui {
namespace {

using test::LeWriter;
using test::make_bmp;
using test::Rgba;

using Decoder = Image (*)(std::span<const std::uint8_t>);

// ---- small good files of each kind, the starting points below ----

Bytes good_bmp8() {
  Bytes rows;
  for (int y = 0; y < 3; ++y) rows.insert(rows.end(), {1, 0, 1, 0, 1, 0, 0, 0});  // 5 px + pad
  return make_bmp(5, 3, 8, {{255, 0, 0, 255}, {0, 0, 255, 255}}, rows, 2);
}

Bytes good_bmp24() { return make_bmp(2, 2, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}); }

Bytes good_jpeg(bool progressive) {
  std::vector<std::uint8_t> samples;
  for (int i = 0; i < 24 * 16; ++i) {
    samples.insert(samples.end(), {std::uint8_t(i * 7), std::uint8_t(i * 3), std::uint8_t(i)});
  }
  test::JpegOptions options;
  options.progressive = progressive;
  options.quality = 60;
  return test::encode_jpeg(24, 16, test::JpegKind::rgb, samples, options);
}

Bytes good_png() {
  std::vector<Rgba> pixels;
  for (int i = 0; i < 20; ++i) pixels.push_back({std::uint8_t(i * 11), std::uint8_t(i), 7, std::uint8_t(i * 13)});
  return test::encode_png(5, 4, pixels, true);
}

Bytes good_png16_interlaced() {
  std::vector<std::uint16_t> samples;
  for (int i = 0; i < 9 * 7 * 4; ++i) samples.push_back(static_cast<std::uint16_t>(i * 977));
  return test::encode_png16(9, 7, samples, true);
}

Bytes good_jpeg_cmyk() {
  std::vector<std::uint8_t> samples;
  for (int i = 0; i < 16 * 8; ++i) {
    samples.insert(samples.end(), {std::uint8_t(i * 5), std::uint8_t(i * 3), 200, std::uint8_t(255 - i)});
  }
  return test::encode_jpeg(16, 8, test::JpegKind::ycck, samples, {60, false, true});
}

Bytes good_ico_bitmap() {
  // 3 x 2, 4 bits, two colours, with its mask.
  const Bytes rows = {0x01, 0x00, 0, 0, 0x10, 0x10, 0, 0};
  const Bytes mask = {0x20, 0, 0, 0, 0x80, 0, 0, 0};
  return test::make_icon(
      {{3, 16, test::icon_bitmap(3, 2, 4, {{9, 9, 9, 255}, {200, 100, 0, 255}}, rows, mask)}});
}

Bytes good_ico_png() { return test::make_icon({{5, 0, good_png()}}, 2); }

Bytes pcx8(const Bytes& runs, int width, int height, int bytes_per_line, bool with_palette = true) {
  LeWriter w;
  test::pcx_header(w, 5, 8, width, height, bytes_per_line);
  w.raw(runs);
  if (with_palette) w.u8(0x0C).fill(768, 0x40);
  return w.bytes();
}

Bytes good_pcx8() { return pcx8({0xC3, 0x05, 0x01, 0x02, 0xC2, 0x07, 0xC1, 0xC9, 0x00}, 4, 2, 4); }

Bytes good_pcx1() {
  LeWriter w;
  test::pcx_header(w, 3, 1, 12, 2, 2);
  w.raw({0xAA, 0xC1, 0xF0, 0xC2, 0x0F});
  return w.bytes();
}

// ---- the table of bad inputs ----

Bytes bmp_with(std::int32_t width, std::int32_t height, int bits = 24,
               std::uint32_t colors_used = 0, std::uint32_t compression = 0) {
  LeWriter w;
  w.u8('B').u8('M').u32(0).u32(0).u32(54);
  test::bitmap_info_header(w, width, height, bits, colors_used, compression);
  w.fill(64, 0x11);
  return w.bytes();
}

Bytes patched(Bytes bytes, std::size_t at, std::initializer_list<std::uint8_t> values) {
  for (const std::uint8_t v : values) bytes.at(at++) = v;
  return bytes;
}

Bytes cut(const Bytes& bytes, std::size_t keep) { return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(keep)); }

// The JPEG's frame header (baseline SOF0) with other sizes.
Bytes jpeg_with_size(unsigned width, unsigned height) {
  Bytes jpeg = good_jpeg(false);
  const Bytes marker = {0xFF, 0xC0};
  const auto sof = std::search(jpeg.begin(), jpeg.end(), marker.begin(), marker.end()) - jpeg.begin();
  // Marker, length (2), precision (1), height (2), width (2), big-endian.
  return patched(jpeg, static_cast<std::size_t>(sof) + 5,
                 {std::uint8_t(height >> 8), std::uint8_t(height), std::uint8_t(width >> 8), std::uint8_t(width)});
}

Bytes ico_pointing(std::uint32_t length, std::uint32_t offset) {
  Bytes ico = good_ico_bitmap();
  LeWriter w;
  w.u32(length).u32(offset);
  std::copy(w.bytes().begin(), w.bytes().end(), ico.begin() + 6 + 8);
  return ico;
}

Bytes ico_of(const Bytes& entry) { return test::make_icon({{32, 16, entry}}); }

Bytes pcx_header_only(int version, int bits, int width, int height, int bytes_per_line, int planes = 1) {
  LeWriter w;
  test::pcx_header(w, version, bits, width, height, bytes_per_line, planes);
  return w.bytes();
}

struct BadCase {
  const char* name;
  Decoder decode;
  Bytes bytes;

  friend void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }
};

class BadInput : public testing::TestWithParam<BadCase> {};

TEST_P(BadInput, GivesNoPicture) {
  EXPECT_TRUE(GetParam().decode(GetParam().bytes).empty());
  EXPECT_TRUE(decode_picture(GetParam().bytes, true).empty());
}

const Bytes empty_bytes;

INSTANTIATE_TEST_SUITE_P(
    Crafted, BadInput,
    testing::Values(
        // BMP: sizes
        BadCase{"bmp_zero_width", decode_bmp, bmp_with(0, 1)},
        BadCase{"bmp_zero_height", decode_bmp, bmp_with(1, 0)},
        BadCase{"bmp_negative_width", decode_bmp, bmp_with(-2, 1)},
        BadCase{"bmp_side_over_16384", decode_bmp, bmp_with(16385, 1)},
        BadCase{"bmp_top_down_side_over_16384", decode_bmp, bmp_with(1, -16385)},
        BadCase{"bmp_over_2_25_pixels", decode_bmp, bmp_with(8193, 4097)},
        BadCase{"bmp_rgba_size_over_32_bits", decode_bmp, bmp_with(65536, 16384)},
        BadCase{"bmp_rgba_size_over_64_bits", decode_bmp, bmp_with(0x7FFFFFFF, 0x7FFFFFFF)},
        BadCase{"bmp_height_int32_min", decode_bmp, bmp_with(1, INT32_MIN)},
        // BMP: depths, compression, palette, data
        BadCase{"bmp_16_bits", decode_bmp, bmp_with(2, 2, 16)},
        BadCase{"bmp_2_bits", decode_bmp, bmp_with(2, 2, 2)},
        BadCase{"bmp_0_bits", decode_bmp, bmp_with(2, 2, 0)},
        BadCase{"bmp_rle8", decode_bmp, bmp_with(2, 2, 8, 2, 1)},
        BadCase{"bmp_bit_fields", decode_bmp, bmp_with(2, 2, 32, 0, 3)},
        BadCase{"bmp_palette_larger_than_file", decode_bmp, bmp_with(2, 2, 8, 1000)},
        BadCase{"bmp_palette_count_huge", decode_bmp, bmp_with(2, 2, 8, 0xFFFFFFFF)},
        BadCase{"bmp_rows_end_early", decode_bmp, cut(good_bmp24(), good_bmp24().size() - 1)},
        BadCase{"bmp_pixel_offset_past_end", decode_bmp, patched(good_bmp24(), 10, {0xFF, 0xFF, 0, 0})},
        BadCase{"bmp_header_size_66", decode_bmp, patched(good_bmp24(), 14, {66})},
        BadCase{"bmp_header_larger_than_file", decode_bmp, cut(patched(good_bmp24(), 14, {124}), 60)},
        BadCase{"bmp_only_signature", decode_bmp, Bytes{'B', 'M', 0, 0, 0, 0, 0, 0}},
        // JPEG
        BadCase{"jpeg_side_over_16384", decode_jpeg, jpeg_with_size(16385, 16)},
        BadCase{"jpeg_65535_square", decode_jpeg, jpeg_with_size(65535, 65535)},
        BadCase{"jpeg_over_2_25_pixels", decode_jpeg, jpeg_with_size(8193, 4097)},
        BadCase{"jpeg_zero_width", decode_jpeg, jpeg_with_size(0, 16)},
        BadCase{"jpeg_zero_height", decode_jpeg, jpeg_with_size(24, 0)},
        BadCase{"jpeg_only_start_marker", decode_jpeg, Bytes{0xFF, 0xD8, 0xFF, 0xD9, 0, 0, 0, 0}},
        BadCase{"jpeg_garbage_after_start", decode_jpeg, Bytes{0xFF, 0xD8, 1, 2, 3, 4, 5, 6, 7, 8}},
        BadCase{"jpeg_empty", decode_jpeg, empty_bytes},
        // PNG
        BadCase{"png_side_over_16384", decode_png, test::with_png_size(good_png(), 16385, 1)},
        BadCase{"png_over_2_25_pixels", decode_png, test::with_png_size(good_png(), 8193, 4097)},
        BadCase{"png_zero_width", decode_png, test::with_png_size(good_png(), 0, 4)},
        BadCase{"png_header_checksum_wrong", decode_png, patched(good_png(), 29, {0x00, 0x00})},
        BadCase{"png_cut_in_image_data", decode_png, cut(good_png(), good_png().size() - 16)},
        BadCase{"png_signature_only", decode_png, cut(good_png(), 8)},
        // ICO and CUR
        BadCase{"ico_offset_past_end", decode_ico, ico_pointing(40, 100000)},
        BadCase{"ico_length_past_end", decode_ico, ico_pointing(100000, 22)},
        BadCase{"ico_offset_plus_length_wraps", decode_ico, ico_pointing(0x20, 0xFFFFFFF0)},
        BadCase{"ico_length_shorter_than_bitmap", decode_ico, ico_pointing(40 + 8 + 8, 22)},
        BadCase{"ico_directory_cut_short", decode_ico, patched(good_ico_bitmap(), 4, {9})},
        BadCase{"ico_mask_missing", decode_ico,
                ico_of(test::icon_bitmap(3, 2, 24, {}, Bytes(24, 0x33), {}))},
        BadCase{"ico_bitmap_65535_square", decode_ico,
                ico_of(test::icon_bitmap(65535, 65535, 1, {}, Bytes(16, 0), {}))},
        BadCase{"ico_bitmap_top_down", decode_ico,
                ico_of(patched(test::icon_bitmap(1, 1, 24, {}, Bytes(4, 0), Bytes(4, 0)), 8,
                               {0xFE, 0xFF, 0xFF, 0xFF}))},
        BadCase{"ico_bitmap_rle", decode_ico,
                ico_of(patched(test::icon_bitmap(1, 1, 8, {}, Bytes(4, 0), Bytes(4, 0)), 16, {1}))},
        BadCase{"ico_bitmap_palette_past_entry", decode_ico,
                ico_of(patched(test::icon_bitmap(1, 1, 8, {}, Bytes(4, 0), Bytes(4, 0)), 32, {0, 1}))},
        BadCase{"ico_png_entry_over_bound", decode_ico, ico_of(test::with_png_size(good_png(), 20000, 4))},
        BadCase{"ico_no_entries", decode_ico, Bytes{0, 0, 1, 0, 0, 0, 0, 0}},
        BadCase{"ico_type_3", decode_ico, patched(good_ico_bitmap(), 2, {3})},
        // PCX
        BadCase{"pcx_run_past_row", decode_pcx, pcx8({0xC5, 0x01, 0xC3, 0x02}, 4, 2, 4)},
        BadCase{"pcx_run_into_next_row", decode_pcx, pcx8({0x01, 0xC4, 0x01, 0xC3, 0x02}, 4, 2, 4)},
        BadCase{"pcx_palette_missing", decode_pcx, pcx8({0xC4, 0x01, 0xC4, 0x02}, 4, 2, 4, false)},
        BadCase{"pcx_palette_marker_wrong", decode_pcx,
                patched(good_pcx8(), good_pcx8().size() - 769, {0x0D})},
        BadCase{"pcx_rows_missing", decode_pcx, pcx8({0xC4, 0x01}, 4, 2, 4)},
        BadCase{"pcx_count_byte_at_end", decode_pcx, pcx8({0xC4, 0x01, 0xC4}, 4, 2, 4)},
        BadCase{"pcx_bytes_per_line_below_width", decode_pcx, pcx8({0xC3, 0x01, 0xC3, 0x01}, 4, 2, 3)},
        BadCase{"pcx_window_reversed", decode_pcx, patched(good_pcx8(), 4, {5, 0})},
        BadCase{"pcx_side_over_16384", decode_pcx, pcx8({}, 16385, 1, 16386)},
        BadCase{"pcx_over_2_25_pixels", decode_pcx, pcx8({}, 8193, 4097, 8194)},
        BadCase{"pcx_three_planes", decode_pcx, pcx_header_only(5, 8, 2, 2, 2, 3)},
        BadCase{"pcx1_bytes_per_line_short", decode_pcx, pcx_header_only(3, 1, 17, 1, 2)},
        BadCase{"pcx1_version_5", decode_pcx, patched(good_pcx1(), 1, {5})},
        BadCase{"pcx_header_only", decode_pcx, cut(good_pcx8(), 128)}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- mutation ----

struct GoodFile {
  const char* name;
  std::function<Bytes()> make;
  Decoder decode;
  // Whether every cut gives no picture (JPEG shows what it has; PNG needs no IEND here).
  bool cuts_refused;

  friend void PrintTo(const GoodFile& c, std::ostream* os) { *os << c.name; }
};

class Mutation : public testing::TestWithParam<GoodFile> {};

void expect_whole(const Image& image) {
  if (image.empty()) return;
  ASSERT_GT(image.width, 0);
  ASSERT_GT(image.height, 0);
  ASSERT_LE(static_cast<std::int64_t>(image.width) * image.height, max_picture_pixels);
  ASSERT_EQ(image.rgba.size(), static_cast<std::size_t>(image.width) * image.height * 4);
}

TEST_P(Mutation, EveryByteChangedDecodesSafely) {
  const Bytes good = GetParam().make();
  ASSERT_FALSE(GetParam().decode(good).empty()) << "the starting file must decode";
  for (std::size_t i = 0; i < good.size(); ++i) {
    for (const std::uint8_t change : {0x01, 0x80, 0xFF}) {
      Bytes bytes = good;
      bytes[i] ^= change;
      SCOPED_TRACE("byte " + std::to_string(i) + " ^ " + std::to_string(change));
      expect_whole(GetParam().decode(bytes));
      // An exactly sized buffer, so that any read past the end is caught.
      const auto exact = std::make_unique<std::uint8_t[]>(bytes.size());
      std::memcpy(exact.get(), bytes.data(), bytes.size());
      expect_whole(decode_picture({exact.get(), bytes.size()}, true).still);
    }
  }
}

TEST_P(Mutation, EveryCutDecodesSafely) {
  const Bytes good = GetParam().make();
  for (std::size_t keep = 0; keep < good.size(); ++keep) {
    SCOPED_TRACE("first " + std::to_string(keep) + " bytes");
    const Image image = GetParam().decode(cut(good, keep));
    expect_whole(image);
    if (GetParam().cuts_refused) {
      EXPECT_TRUE(image.empty());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, Mutation,
    testing::Values(GoodFile{"bmp8", good_bmp8, decode_bmp, true},
                    GoodFile{"bmp24", good_bmp24, decode_bmp, true},
                    GoodFile{"jpeg_baseline", [] { return good_jpeg(false); }, decode_jpeg, false},
                    GoodFile{"jpeg_progressive", [] { return good_jpeg(true); }, decode_jpeg, false},
                    GoodFile{"jpeg_ycck", good_jpeg_cmyk, decode_jpeg, false},
                    GoodFile{"png", good_png, decode_png, false},
                    GoodFile{"png16_interlaced", good_png16_interlaced, decode_png, false},
                    GoodFile{"ico_bitmap", good_ico_bitmap, decode_ico, true},
                    GoodFile{"cur_png", good_ico_png, decode_ico, true},
                    GoodFile{"pcx8", good_pcx8, decode_pcx, true},
                    GoodFile{"pcx1", good_pcx1, decode_pcx, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Mutation, PngCutBeforeItsEndChunkGivesNoPicture) {
  const Bytes good = good_png();
  for (std::size_t keep = 0; keep + 12 < good.size(); ++keep) {
    EXPECT_TRUE(decode_png(cut(good, keep)).empty()) << "first " << keep << " bytes";
  }
}

}  // namespace
}  // namespace miaohui
