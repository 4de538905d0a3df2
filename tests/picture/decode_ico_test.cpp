// Crafted icons and cursors: which directory entry is shown, and how mask and alpha combine.

#include <gtest/gtest.h>

#include <string>

#include "picture/decode.h"
#include "picture/decode_craft.h"
#include "picture/decode_encode.h"

namespace miaohui {
namespace {

using test::icon_bitmap;
using test::IconEntry;
using test::make_icon;
using test::Rgba;

// A 1 x 1 24-bit entry whose red value tells which entry it is; the mask keeps it opaque.
Bytes marked_entry(std::uint8_t mark) { return icon_bitmap(1, 1, 24, {}, {0, 0, mark, 0}, {0, 0, 0, 0}); }

struct ChoiceCase {
  const char* name;
  std::vector<std::pair<std::uint8_t, std::uint8_t>> entries;  // width byte, colour count
  std::uint8_t chosen;

  friend void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.name; }
};

class IconDirectory : public testing::TestWithParam<ChoiceCase> {};

TEST_P(IconDirectory, ShowsFirstEntryOf32With16ColoursElseTheLast) {
  std::vector<IconEntry> entries;
  for (std::size_t i = 0; i < GetParam().entries.size(); ++i) {
    const auto [width, colours] = GetParam().entries[i];
    entries.push_back({width, colours, marked_entry(static_cast<std::uint8_t>(i))});
  }
  for (unsigned type : {1u, 2u}) {
    const Image image = decode_ico(make_icon(entries, type));
    ASSERT_FALSE(image.empty()) << "type " << type;
    EXPECT_EQ(test::pixel(image, 0, 0).r, GetParam().chosen) << "type " << type;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rule, IconDirectory,
    testing::Values(ChoiceCase{"only_entry", {{16, 0}}, 0},
                    ChoiceCase{"first_match_wins", {{16, 16}, {32, 16}, {32, 255}}, 1},
                    ChoiceCase{"no_match_takes_last", {{32, 0}, {48, 0}, {16, 0}}, 2},
                    ChoiceCase{"fifteen_colours_do_not_match", {{32, 15}, {48, 16}}, 1},
                    ChoiceCase{"width_byte_0_is_not_32", {{0, 16}, {32, 16}, {16, 0}}, 1},
                    ChoiceCase{"match_before_others", {{32, 16}, {32, 16}}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

constexpr Rgba red{255, 0, 0, 255}, blue{0, 0, 255, 255};

TEST(DecodeIco, MaskBitsMakePixelsTransparent) {
  // 2 x 2, 24 bits; the mask's top row (stored last) has its left bit set.
  const Bytes colour = {0, 0, 255, 255, 0, 0, 0, 0,   // bottom: red, blue
                        255, 0, 0, 0, 0, 255, 0, 0};  // top: blue, red
  const Bytes mask = {0x00, 0, 0, 0, 0x80, 0, 0, 0};
  const Image image = decode_ico(make_icon({{2, 0, icon_bitmap(2, 2, 24, {}, colour, mask)}}));
  ASSERT_FALSE(image.empty());
  ASSERT_EQ(image.width, 2);
  ASSERT_EQ(image.height, 2);
  EXPECT_TRUE(image.has_alpha);
  EXPECT_EQ(test::pixel(image, 0, 0).a, 0);
  EXPECT_EQ(test::pixel(image, 1, 0), red);
  EXPECT_EQ(test::pixel(image, 0, 1), red);
  EXPECT_EQ(test::pixel(image, 1, 1), blue);
}

TEST(DecodeIco, PalettedEntryWithMask) {
  const Bytes rows = {0x01, 0, 0, 0};  // 4 bits: red, blue
  const Bytes mask = {0x40, 0, 0, 0};  // the right pixel transparent
  const Image image =
      decode_ico(make_icon({{2, 16, icon_bitmap(2, 1, 4, {red, blue}, rows, mask)}}));
  ASSERT_FALSE(image.empty());
  EXPECT_EQ(test::pixel(image, 0, 0), red);
  EXPECT_EQ(test::pixel(image, 1, 0).a, 0);
}

struct AlphaCase {
  const char* name;
  std::uint8_t alpha_left, alpha_right;
  Bytes mask;  // empty: the entry has none
  std::uint8_t shown_left, shown_right;

  friend void PrintTo(const AlphaCase& c, std::ostream* os) { *os << c.name; }
};

class IconAlpha : public testing::TestWithParam<AlphaCase> {};

TEST_P(IconAlpha, ThirtyTwoBitEntries) {
  const AlphaCase& c = GetParam();
  const Bytes rows = {0, 0, 255, c.alpha_left, 255, 0, 0, c.alpha_right};
  const Image image = decode_ico(make_icon({{2, 0, icon_bitmap(2, 1, 32, {}, rows, c.mask)}}));
  ASSERT_FALSE(image.empty());
  EXPECT_EQ(test::pixel(image, 0, 0), (Rgba{255, 0, 0, c.shown_left}));
  EXPECT_EQ(test::pixel(image, 1, 0), (Rgba{0, 0, 255, c.shown_right}));
}

INSTANTIATE_TEST_SUITE_P(
    MaskAndAlpha, IconAlpha,
    testing::Values(
        // Their own alpha wins over a mask that says otherwise.
        AlphaCase{"alpha_over_mask", 0x80, 0xFF, {0xC0, 0, 0, 0}, 0x80, 0xFF},
        // All alpha bytes 0: made for the mask alone.
        AlphaCase{"zero_alpha_uses_mask", 0, 0, {0x40, 0, 0, 0}, 0xFF, 0},
        AlphaCase{"alpha_without_mask", 0x10, 0xFF, {}, 0x10, 0xFF},
        AlphaCase{"zero_alpha_without_mask_is_opaque", 0, 0, {}, 0xFF, 0xFF}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeIco, PngEntryDecodesAsPng) {
  const std::vector<Rgba> pixels = {{10, 20, 30, 40}, {50, 60, 70, 255}};
  const Image image = decode_ico(make_icon({{32, 0, test::encode_png(2, 1, pixels, true)}}, 2));
  ASSERT_FALSE(image.empty());
  EXPECT_EQ(test::pixel(image, 0, 0), pixels[0]);
  EXPECT_EQ(test::pixel(image, 1, 0), pixels[1]);
}

}  // namespace
}  // namespace miaohui
