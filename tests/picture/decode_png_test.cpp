// PNG pictures written with libpng's simplified writer, read back through decode_png.

#include <gtest/gtest.h>
#include <zlib.h>

#include <string_view>

#include "picture/decode.h"
#include "picture/decode_craft.h"
#include "picture/decode_encode.h"

namespace miaohui {
namespace {

using test::Rgba;
using namespace std::string_view_literals;

TEST(DecodePng, KeepsStraightAlphaExactly) {
  // Colours under low alpha would change if anything premultiplied or blended them.
  const std::vector<Rgba> pixels = {{255, 0, 0, 255}, {0, 255, 0, 128}, {10, 20, 30, 1},
                                    {200, 100, 50, 0}, {1, 2, 3, 254}, {255, 255, 255, 77}};
  const Image image = decode_png(test::encode_png(3, 2, pixels, true));
  ASSERT_FALSE(image.empty());
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  EXPECT_TRUE(image.has_alpha);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(test::pixel(image, i % 3, i / 3), pixels[i]) << i;
}

TEST(DecodePng, OpaqueRgbGetsFullAlpha) {
  const std::vector<Rgba> pixels = {{9, 8, 7, 255}, {250, 128, 0, 255}};
  const Image image = decode_png(test::encode_png(1, 2, pixels, false));
  ASSERT_FALSE(image.empty());
  EXPECT_FALSE(image.has_alpha);
  EXPECT_EQ(test::pixel(image, 0, 0), pixels[0]);
  EXPECT_EQ(test::pixel(image, 0, 1), pixels[1]);
}

TEST(DecodePng, InterlacedSixteenBitDecodesLikeItsFlatTwin) {
  // Each 16-bit value is an 8-bit one times 257, so bringing it to 8 bits is exact.
  constexpr int width = 13, height = 11;
  std::vector<std::uint16_t> samples;
  std::vector<Rgba> expected;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgba c{static_cast<std::uint8_t>(x * 19), static_cast<std::uint8_t>(y * 23),
                   static_cast<std::uint8_t>((x * y) % 256), static_cast<std::uint8_t>(255 - x)};
      expected.push_back(c);
      for (const std::uint8_t v : {c.r, c.g, c.b, c.a}) samples.push_back(static_cast<std::uint16_t>(v * 257));
    }
  }
  for (const bool interlaced : {false, true}) {
    const Image image = decode_png(test::encode_png16(width, height, samples, interlaced));
    ASSERT_FALSE(image.empty()) << "interlaced " << interlaced;
    EXPECT_TRUE(image.has_alpha);
    for (int i = 0; i < width * height; ++i) {
      ASSERT_EQ(test::pixel(image, i % width, i / width), expected[i])
          << "pixel " << i << ", interlaced " << interlaced;
    }
  }
}

TEST(DecodePng, SizeBoundIsCheckedFromTheHeader) {
  const Bytes small = test::encode_png(1, 1, {{1, 2, 3, 255}}, false);
  struct Case {
    std::uint32_t width, height;
    bool decodes;
  };
  // The image data holds one pixel, so only the header decides whether decoding is tried.
  for (const Case c : {Case{16385, 1, false}, Case{1, 16385, false}, Case{8193, 4097, false},
                       Case{0x7FFFFFFF, 0x7FFFFFFF, false}, Case{1, 1, true}}) {
    const Image image = decode_png(test::with_png_size(small, c.width, c.height));
    EXPECT_EQ(!image.empty(), c.decodes) << c.width << "x" << c.height;
  }
}

// A chunk put right after IHDR (signature 8 + IHDR 25 bytes), with a stated length of its own.
Bytes with_chunk_after_header(const Bytes& png, std::string_view type, std::string_view data,
                              std::uint32_t stated_length) {
  Bytes chunk;
  for (int shift = 24; shift >= 0; shift -= 8) chunk.push_back(std::uint8_t(stated_length >> shift));
  chunk.insert(chunk.end(), type.begin(), type.end());
  chunk.insert(chunk.end(), data.begin(), data.end());
  const std::uint32_t crc = static_cast<std::uint32_t>(
      crc32(crc32(0, nullptr, 0), chunk.data() + 4, static_cast<uInt>(chunk.size() - 4)));
  for (int shift = 24; shift >= 0; shift -= 8) chunk.push_back(std::uint8_t(crc >> shift));
  Bytes out = png;
  out.insert(out.begin() + 33, chunk.begin(), chunk.end());
  return out;
}

TEST(DecodePng, ChunksBeforeTheImageDataMustLieInTheBytes) {
  // libpng takes a text chunk's stated length in memory before reading it: a few bytes that
  // claim a gigabyte must be refused before libpng sees them, and nothing else with them.
  const Bytes png = test::encode_png(2, 1, {{1, 2, 3, 255}, {4, 5, 6, 255}}, false);
  const Bytes without_end(png.begin(), png.end() - 12);  // IEND cut off
  struct Case {
    const char* name;
    Bytes bytes;
    bool decodes;
  };
  const Case cases[] = {
      {"text chunk that fits", with_chunk_after_header(png, "tEXt", "key\0value"sv, 9), true},
      {"no IEND", without_end, true},
      {"text chunk past the end", with_chunk_after_header(png, "tEXt", "k\0v"sv, 1u << 30), false},
      {"unknown chunk past the end", with_chunk_after_header(png, "prVt", "", 0x7FFFFFF0u), false},
  };
  for (const Case& c : cases) {
    const Image image = decode_png(c.bytes);
    EXPECT_EQ(!image.empty(), c.decodes) << c.name;
    if (!image.empty()) {
      EXPECT_EQ(test::pixel(image, 1, 0), (Rgba{4, 5, 6, 255})) << c.name;
    }
  }
}

}  // namespace
}  // namespace miaohui
