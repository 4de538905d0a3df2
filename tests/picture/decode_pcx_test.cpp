// Crafted PCX files. A byte 11nnnnnn repeats the next byte nnnnnn times; a pixel value of
// 0xC0 or more is written as a run of one.

#include <gtest/gtest.h>

#include "picture/decode.h"
#include "picture/decode_craft.h"

namespace miaohui {
namespace {

using test::Rgba;

constexpr Rgba black{0, 0, 0, 255}, white{255, 255, 255, 255};
constexpr Rgba red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255};

void expect_rows(const Image& image, const std::vector<std::vector<Rgba>>& rows) {
  ASSERT_FALSE(image.empty());
  ASSERT_EQ(image.height, static_cast<int>(rows.size()));
  ASSERT_EQ(image.width, static_cast<int>(rows[0].size()));
  EXPECT_FALSE(image.has_alpha);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      EXPECT_EQ(test::pixel(image, x, y), rows[y][x]) << "at " << x << "," << y;
    }
  }
}

// The 256-colour palette: 0x0C, then red, green, blue for each index.
void palette(test::LeWriter& w, const std::vector<std::pair<int, Rgba>>& colours) {
  Bytes table(768, 0);
  for (const auto& [index, c] : colours) {
    table[3 * index] = c.r, table[3 * index + 1] = c.g, table[3 * index + 2] = c.b;
  }
  w.u8(0x0C).raw(table);
}

TEST(DecodePcx, EightBitRunsLiteralsAndPadding) {
  test::LeWriter w;
  test::pcx_header(w, 5, 8, 3, 2, 4);  // 3 pixels and one padding byte a row
  w.raw({0xC3, 0x01, 0x00});           // run of three 1s, padding
  w.raw({0x02, 0xC1, 0xC5, 0xC2, 0x00});  // 2, a run of one 0xC5, then a run over the padding
  palette(w, {{1, red}, {2, green}, {0xC5, blue}});
  expect_rows(decode_pcx(w.bytes()), {{red, red, red}, {green, blue, black}});
}

TEST(DecodePcx, EightBitVersionsUpToFive) {
  for (int version : {0, 2, 3, 4, 5}) {
    test::LeWriter w;
    test::pcx_header(w, version, 8, 1, 1, 2);
    w.raw({0xC2, 0x07});
    palette(w, {{7, green}});
    expect_rows(decode_pcx(w.bytes()), {{green}});
  }
}

TEST(DecodePcx, OneBitIsBlackAndWhite) {
  // Version 3 is the only one recognised for 1 bit. Ten pixels take two bytes a row, bit 7
  // first; whatever the header's 16-colour table says, 0 is black and 1 is white.
  test::LeWriter w;
  test::pcx_header(w, 3, 1, 10, 2, 2);
  w.bytes()[16] = 0x12;  // a colour in the header's table, ignored
  w.raw({0xAA, 0xC1, 0xC0});  // 10101010, then 11000000 as a run of one
  w.raw({0xC2, 0x7F});        // 01111111 twice
  const Image image = decode_pcx(w.bytes());
  expect_rows(image, {{white, black, white, black, white, black, white, black, white, white},
                      {black, white, white, white, white, white, white, white, black, white}});
  EXPECT_EQ(detect_format(w.bytes()), PictureFormat::pcx1);
}

TEST(DecodePcx, WindowOffsetsGiveTheSize) {
  test::LeWriter w;
  test::pcx_header(w, 5, 8, 1, 1, 2);
  // Window from (10, 20) to (11, 20): two pixels, one row.
  w.bytes()[4] = 10, w.bytes()[6] = 20, w.bytes()[8] = 11, w.bytes()[10] = 20;
  w.raw({0xC2, 0x01});
  palette(w, {{1, blue}});
  expect_rows(decode_pcx(w.bytes()), {{blue, blue}});
}

}  // namespace
}  // namespace miaohui
