// Crafted BMP files, each small enough to read its rows by eye. Rows are stored bottom-up
// unless the height is negative, and every row is padded to a multiple of four bytes.

#include <gtest/gtest.h>

#include <string>

#include "picture/decode.h"
#include "picture/decode_craft.h"

namespace miaohui {
namespace {

using test::make_bmp;
using test::Rgba;

constexpr Rgba red{255, 0, 0, 255};
constexpr Rgba green{0, 255, 0, 255};
constexpr Rgba blue{0, 0, 255, 255};
constexpr Rgba black{0, 0, 0, 255};
constexpr Rgba grey{0x80, 0x90, 0xA0, 255};

struct BmpCase {
  const char* name;
  Bytes file;
  std::vector<std::vector<Rgba>> rows;  // expected, top row first

  friend void PrintTo(const BmpCase& c, std::ostream* os) { *os << c.name; }
};

class BmpPixels : public testing::TestWithParam<BmpCase> {};

TEST_P(BmpPixels, DecodeToTheExpectedRows) {
  const BmpCase& c = GetParam();
  const Image image = decode_bmp(c.file);
  ASSERT_FALSE(image.empty());
  ASSERT_EQ(image.height, static_cast<int>(c.rows.size()));
  ASSERT_EQ(image.width, static_cast<int>(c.rows[0].size()));
  EXPECT_FALSE(image.has_alpha);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      EXPECT_EQ(test::pixel(image, x, y), c.rows[y][x]) << "at " << x << "," << y;
    }
  }
}

Bytes os2_core_bmp() {
  // OS/2 1.x: a 12-byte header with 16-bit sizes and 3-byte palette entries.
  test::LeWriter w;
  w.u8('B').u8('M').u32(0).u32(0).u32(14 + 12 + 2 * 3);
  w.u32(12).u16(2).u16(1).u16(1).u16(1);
  w.raw({0, 0, 255, 255, 0, 0});  // red, blue
  w.raw({0x40, 0, 0, 0});
  return w.bytes();
}

INSTANTIATE_TEST_SUITE_P(
    Depths, BmpPixels,
    testing::Values(
        // Nine pixels: one whole byte and a tail bit; bit 7 is the leftmost pixel.
        BmpCase{"bits1_with_tail",
                make_bmp(9, 2, 1, {red, blue}, {0xAA, 0x80, 0, 0, 0x55, 0x00, 0, 0}),
                {{red, blue, red, blue, red, blue, red, blue, red},
                 {blue, red, blue, red, blue, red, blue, red, blue}}},
        // The high nibble is the left pixel; three pixels leave half a byte unused.
        BmpCase{"bits4_odd_width", make_bmp(3, 1, 4, {black, red, green}, {0x12, 0x00, 0, 0}, 3),
                {{red, green, black}}},
        BmpCase{"bits8", make_bmp(3, 2, 8, {red, green, blue}, {2, 1, 0, 0, 0, 1, 2, 0}, 3),
                {{red, green, blue}, {blue, green, red}}},
        // Blue, green, red order; two pixels take six bytes and two of padding.
        BmpCase{"bits24",
                make_bmp(2, 2, 24, {},
                         {0, 0, 255, 0, 255, 0, 0, 0,  // bottom: red, green
                          255, 0, 0, 0xA0, 0x90, 0x80, 0, 0}),
                {{blue, grey}, {red, green}}},
        // The fourth byte is unused: nonzero values there do not make the pixel transparent.
        BmpCase{"bits32_unused_byte_ignored", make_bmp(2, 1, 32, {}, {0xA0, 0x90, 0x80, 0x00,
                                                                      0, 0, 255, 0x7F}),
                {{grey, red}}},
        // Negative height: rows stored top to bottom, shown the right way up.
        BmpCase{"top_down", make_bmp(3, -2, 8, {red, green, blue}, {2, 1, 0, 0, 0, 1, 2, 0}, 3),
                {{blue, green, red}, {red, green, blue}}},
        // Indices past a short palette read as opaque black rather than outside the table.
        BmpCase{"index_past_palette", make_bmp(3, 1, 8, {red, green}, {1, 7, 255, 0}, 2),
                {{green, black, black}}},
        // More declared entries than 2^bits: the surplus lies in the file and is skipped.
        BmpCase{"oversized_palette",
                make_bmp(2, 1, 1, {green, blue, red, red}, {0x40, 0, 0, 0}, 4), {{green, blue}}},
        BmpCase{"os2_core_header", os2_core_bmp(), {{red, blue}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace miaohui
