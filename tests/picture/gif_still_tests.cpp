// The first frame of a GIF as a still picture, on GIFs crafted here.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "picture/decode.h"
#include "picture/gif_writer.h"

namespace miaohui::test {
namespace {

using Pixels = std::vector<std::uint32_t>;

const std::vector<Rgb> rgbw = {red, green, blue, white};

CraftedImage image_at(int left, int top, int width, int height, std::vector<std::uint8_t> indices) {
  CraftedImage s;
  s.left = left;
  s.top = top;
  s.width = width;
  s.height = height;
  s.indices = std::move(indices);
  return s;
}

struct StillCase {
  std::string name;
  Bytes gif;
  int width;
  int height;
  Pixels expected;
  bool has_alpha;
};

std::vector<StillCase> still_cases() {
  std::vector<StillCase> cases;
  const auto add = [&](std::string name, Bytes gif, int width, int height, Pixels expected,
                       bool has_alpha) {
    cases.push_back(
        {std::move(name), std::move(gif), width, height, std::move(expected), has_alpha});
  };
  add("global table", GifWriter(2, 2, rgbw).image(image_at(0, 0, 2, 2, {0, 1, 2, 3})).finish(), 2,
      2, {R, G, B, W}, false);
  add("GIF87a", GifWriter(2, 1, rgbw, true).image(image_at(0, 0, 2, 1, {3, 0})).finish(), 2, 1,
      {W, R}, false);
  {
    auto local = image_at(0, 0, 2, 1, {0, 1});
    local.local_table = {blue, white};
    add("local table over the global one", GifWriter(2, 1, rgbw).image(local).finish(), 2, 1,
        {B, W}, false);
    add("local table without a global one", GifWriter(2, 1).image(local).finish(), 2, 1, {B, W},
        false);
  }
  {
    // Ten rows, one pixel each, so every interlace pass holds a row.
    auto rows = image_at(0, 0, 1, 10, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1});
    rows.interlaced = true;
    add("interlaced", GifWriter(1, 10, rgbw).image(rows).finish(), 1, 10,
        {R, G, B, W, R, G, B, W, R, G}, false);
  }
  {
    // Eight colours but 2-bit literals: codes 4 and 5 are clear and end, not colours 4 and 5.
    auto small_codes = image_at(0, 0, 4, 1, {3, 2, 1, 0});
    small_codes.min_code_size = 2;
    add("colour table larger than the code size",
        GifWriter(4, 1, {red, green, blue, white, black, black, black, black})
            .image(small_codes)
            .finish(),
        4, 1, {W, B, G, R}, false);
  }
  add("transparent index",
      GifWriter(2, 2, rgbw).control(0, 0, 1).image(image_at(0, 0, 2, 2, {0, 1, 1, 3})).finish(), 2,
      2, {R, T, T, W}, true);
  add("transparent index past the table leaves every colour",
      GifWriter(2, 1, rgbw).control(0, 0, 200).image(image_at(0, 0, 2, 1, {0, 1})).finish(), 2, 1,
      {R, G}, false);
  add("image inside the screen, the rest transparent",
      GifWriter(3, 2, rgbw).image(image_at(1, 1, 1, 1, {2})).finish(), 3, 2, {T, T, T, T, B, T},
      true);
  // Images reaching past the screen are clipped to it: the screen keeps its size and only
  // the part of the image on it shows.
  add("image partly outside the screen is clipped",
      GifWriter(2, 2, rgbw).image(image_at(1, 1, 2, 2, {0, 1, 2, 3})).finish(), 2, 2, {T, T, T, R},
      true);
  add("image larger than the screen is clipped",
      GifWriter(2, 1, rgbw).image(image_at(0, 0, 3, 2, {0, 1, 2, 3, 3, 3})).finish(), 2, 1, {R, G},
      false);
  add("image wholly outside the screen shows nothing",
      GifWriter(2, 1, rgbw).image(image_at(5, 0, 1, 1, {0})).finish(), 2, 1, {T, T}, true);
  add("image without pixels shows nothing",
      GifWriter(1, 1, rgbw).image(image_at(0, 0, 0, 4, {})).finish(), 1, 1, {T}, true);
  {
    auto short_data = image_at(0, 0, 2, 2, {0, 1, 2, 3});
    short_data.data = lzw_encode({0, 1, 2}, 2);
    add("data for fewer pixels than the image", GifWriter(2, 2, rgbw).image(short_data).finish(), 2,
        2, {R, G, B, T}, true);
    auto long_data = image_at(0, 0, 2, 1, {0, 1});
    long_data.data = lzw_encode({0, 1, 2, 3, 3, 3}, 2);
    add("data for more pixels than the image", GifWriter(2, 1, rgbw).image(long_data).finish(), 2,
        1, {R, G}, false);
  }
  {
    LzwCodeWriter codes(2);
    codes.emit(0);  // no clear code first, no end code last
    codes.emit(1);
    auto bare = image_at(0, 0, 2, 1, {});
    bare.data = codes.bytes();
    add("neither clear nor end code", GifWriter(2, 1, rgbw).image(bare).finish(), 2, 1, {R, G},
        false);
  }
  add("extensions before the image are skipped",
      GifWriter(1, 1, rgbw)
          .comment("made by hand")
          .raw({0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0,
                0})
          .raw({0x21, 0x01, 12, 0, 0, 0, 0, 1, 0, 1, 0, 8, 8, 1, 0, 2, 'h', 'i', 0})
          .raw({0x21, 0x99, 2, 7, 7, 0})
          .image(image_at(0, 0, 1, 1, {2}))
          .finish(),
      1, 1, {B}, false);
  add("the later of two control blocks counts",
      GifWriter(2, 1, rgbw)
          .control(0, 0, 0)
          .control(0, 0, 1)
          .image(image_at(0, 0, 2, 1, {0, 1}))
          .finish(),
      2, 1, {R, T}, true);
  add("only the first image shows",
      GifWriter(2, 1, rgbw)
          .image(image_at(0, 0, 1, 1, {0}))
          .image(image_at(1, 0, 1, 1, {1}))
          .finish(),
      2, 1, {R, T}, true);
  add("missing trailer", GifWriter(1, 1, rgbw).image(image_at(0, 0, 1, 1, {3})).finish(false), 1, 1,
      {W}, false);
  return cases;
}

TEST(GifStill, DecodesCraftedPictures) {
  for (const auto& c : still_cases()) {
    SCOPED_TRACE(c.name);
    const Image image = decode_gif_still(c.gif);
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(image.width, c.width);
    EXPECT_EQ(image.height, c.height);
    EXPECT_EQ(pixels(image), c.expected);
    EXPECT_EQ(image.has_alpha, c.has_alpha);
  }
}

// Compressed and decompressed again: long strings, the string being defined (KwKwK), full
// tables followed by a clear, and every minimum code size.
TEST(GifStill, RoundTripsEveryCodeSize) {
  std::mt19937 random(7);
  for (int code_size = 1; code_size <= 11; ++code_size) {
    SCOPED_TRACE(code_size);
    const int colours = code_size >= 8 ? 256 : 1 << code_size;
    std::vector<Rgb> table;
    for (int i = 0; i < colours; ++i) {
      table.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                       static_cast<std::uint8_t>(i * 7)});
    }
    const int width = 97;
    const int height = 61;
    std::vector<std::uint8_t> indices;
    while (indices.size() < std::size_t{width} * height) {
      // Runs of every length up to past a whole table's worth, noise in between.
      const auto index = static_cast<std::uint8_t>(random() % colours);
      const std::size_t run = random() % 3 == 0 ? random() % 5000 : 1;
      indices.insert(indices.end(), run, index);
    }
    indices.resize(std::size_t{width} * height);
    auto image = image_at(0, 0, width, height, indices);
    image.min_code_size = code_size;
    const Image decoded = decode_gif_still(GifWriter(width, height, table).image(image).finish());
    ASSERT_FALSE(decoded.empty());
    Pixels expected;
    for (const auto i : indices) expected.push_back(opaque(table[i]));
    EXPECT_EQ(pixels(decoded), expected);
  }
}

// A full table is not reset unless a clear code says so: later codes keep 12 bits and add
// nothing.
TEST(GifStill, KeepsAFullTableWithoutAClear) {
  LzwCodeWriter codes(2);
  codes.emit(codes.clear());
  std::vector<std::uint8_t> expected;
  while (codes.reader_next() < 4096) {
    const unsigned index = expected.size() % 3;
    codes.emit(index);
    expected.push_back(static_cast<std::uint8_t>(index));
  }
  for (int i = 0; i < 50; ++i) {
    codes.emit(3);
    expected.push_back(3);
  }
  codes.emit(codes.end_code());
  const int width = static_cast<int>(expected.size());
  auto image = image_at(0, 0, width, 1, {});
  image.data = codes.bytes();
  const Image decoded = decode_gif_still(GifWriter(width, 1, rgbw).image(image).finish());
  ASSERT_FALSE(decoded.empty());
  Pixels want;
  for (const auto i : expected) want.push_back(opaque(rgbw[i]));
  EXPECT_EQ(pixels(decoded), want);
}

Bytes with_data(const Bytes& data, int code_size = 2, std::vector<Rgb> table = rgbw) {
  auto image = image_at(0, 0, 2, 2, {});
  image.data = data;
  image.min_code_size = code_size;
  return GifWriter(2, 2, std::move(table)).image(image).finish();
}

Bytes codes(int code_size, std::initializer_list<unsigned> list) {
  LzwCodeWriter out(code_size);
  for (const unsigned c : list) out.emit(c);
  return out.bytes();
}

Bytes screen(int width, int height) {
  return GifWriter(width, height, rgbw).image(image_at(0, 0, 1, 1, {0})).finish();
}

struct BadCase {
  std::string name;
  Bytes gif;
};

TEST(GifStill, RejectsBadInput) {
  const Bytes good_data = lzw_encode({0, 1, 2, 3}, 2);
  const Bytes valid = with_data(good_data);
  const std::vector<BadCase> cases = {
      {"minimum code size 0", with_data(good_data, 0)},
      {"minimum code size 12", with_data(good_data, 12)},
      {"minimum code size 255", with_data(good_data, 255)},
      {"minimum code size 13 on an image outside the screen",
       [&] {
         auto outside = image_at(9, 9, 2, 2, {});
         outside.data = good_data;
         outside.min_code_size = 13;
         return GifWriter(2, 2, rgbw).image(outside).finish();
       }()},
      // Clear, red, then code 7 while the table's next code is 6.
      {"code beyond the table", with_data(codes(2, {4, 0, 7}))},
      {"string code before any string", with_data(codes(2, {4, 6}))},
      {"index past a two-colour table", with_data(codes(2, {4, 0, 2, 5}), 2, {red, green})},
      {"no colour table at all", with_data(good_data, 2, {})},
      {"screen width 0", screen(0, 1)},
      {"screen height 0", screen(1, 0)},
      {"screen wider than 16384", screen(16385, 1)},
      {"screen taller than 16384", screen(1, 16385)},
      {"screen of more than 2^25 pixels", screen(8192, 4097)},
      {"screen 65535 x 65535", screen(65535, 65535)},
      {"visible image of more than 2^25 pixels", GifWriter(1, 1, rgbw)
                                                     .image([] {
                                                       auto s = image_at(0, 0, 65535, 65535, {});
                                                       s.data = lzw_encode({0}, 2);
                                                       return s;
                                                     }())
                                                     .finish()},
      {"no image", GifWriter(1, 1, rgbw).finish()},
      {"no image and no trailer", GifWriter(1, 1, rgbw).finish(false)},
      {"stray bytes before the image",
       GifWriter(1, 1, rgbw).raw({0x00, 0x47}).image(image_at(0, 0, 1, 1, {0})).finish()},
      {"not a GIF signature",
       [&] {
         Bytes b = valid;
         b[4] = '8';
         return b;
       }()},
      {"cut inside the header", Bytes(valid.begin(), valid.begin() + 10)},
      {"cut inside the global table", Bytes(valid.begin(), valid.begin() + 20)},
      {"cut inside the image descriptor", Bytes(valid.begin(), valid.begin() + 30)},
      {"empty", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(decode_gif_still(c.gif).empty());
  }
  EXPECT_FALSE(decode_gif_still(valid).empty());
}

Bytes sample_gif() {
  std::vector<std::uint8_t> indices;
  for (int i = 0; i < 24 * 17; ++i)
    indices.push_back(static_cast<std::uint8_t>((i / 5 + i / 24) % 4));
  auto first = image_at(2, 1, 24, 17, indices);
  first.interlaced = true;
  auto second = image_at(0, 0, 4, 4, std::vector<std::uint8_t>(16, 2));
  second.local_table = {white, black};
  return GifWriter(28, 20, rgbw)
      .comment("a comment")
      .control(5, 2, 3)
      .image(first)
      .control(0, 3)
      .image(second)
      .finish();
}

// Cut anywhere, a GIF shows less, never something else: each pixel is either what the
// whole file shows or transparent.
TEST(GifStill, TruncatedShowsAPartOfTheWhole) {
  const Bytes whole = sample_gif();
  const Pixels full = pixels(decode_gif_still(whole));
  ASSERT_EQ(full.size(), std::size_t{28 * 20});
  for (std::size_t n = 0; n < whole.size(); ++n) {
    SCOPED_TRACE(n);
    const Image cut = decode_gif_still(std::span(whole).first(n));
    if (cut.empty()) continue;
    ASSERT_EQ(cut.width, 28);
    ASSERT_EQ(cut.height, 20);
    const Pixels part = pixels(cut);
    for (std::size_t i = 0; i < part.size(); ++i) {
      if (part[i] != T) {
        ASSERT_EQ(part[i], full[i]) << "pixel " << i;
      }
    }
  }
}

// Every byte changed in turn: no crash (the sanitizer build checks the memory), and either
// no picture or one of the screen's size.
TEST(GifStill, SurvivesEveryByteChanged) {
  const Bytes whole = sample_gif();
  for (std::size_t i = 0; i < whole.size(); ++i) {
    for (const std::uint8_t value : {0x00, 0x01, 0x0B, 0x2C, 0x7F, 0xFF}) {
      Bytes changed = whole;
      changed[i] = value;
      const Image image = decode_gif_still(changed);
      if (image.empty()) continue;
      ASSERT_EQ(image.rgba.size(), std::size_t(image.width) * image.height * 4) << i;
    }
  }
}

}  // namespace
}  // namespace miaohui::test
