// What the picture box shows for still pictures, checked on grabbed pixels, and the bytes
// it gives back.

#include <QPixmap>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "picture/box_fixtures.h"
#include "picture/picture_box.h"
#include "picture/placement.h"

// Readable rectangles in failure messages; found by argument-dependent lookup.
void PrintTo(const QRect& r, std::ostream* os) {
  *os << "(" << r.x() << ", " << r.y() << ", " << r.width() << "x" << r.height() << ")";
}

namespace miaohui {
namespace {

using test::colour_near;

constexpr int box_w = 576, box_h = 544;  // the main window's picture box

std::unique_ptr<PictureBox> make_box(PictureBoxSettings settings, QSize size = {box_w, box_h}) {
  auto box = std::make_unique<PictureBox>(settings);
  box->resize(size);
  return box;
}

QImage grab(PictureBox& box) { return box.grab().toImage(); }

Bytes quadrant_bmp(int w, int h) {
  const test::Quadrants q;
  return test::make_bmp(w, h, [&](int x, int y) { return q.at(x, y, w, h); });
}

TEST(PicturePlacement, PlacesByMode) {
  struct Case {
    int mode;
    QSize picture;
    QRect expected;
  };
  const QRect client(0, 0, 576, 544);
  const Case cases[] = {
      {0, {1000, 750}, {0, 0, 1000, 750}},  // cut off by the caller's clip
      {0, {100, 100}, {0, 0, 100, 100}},
      {1, {1000, 750}, client},
      {1, {100, 100}, client},
      {3, {100, 100}, client},
      {7, {100, 100}, client},              // unknown modes stretch
      {2, {100, 100}, {238, 222, 100, 100}},  // fits: natural size, centred
      {2, {576, 544}, client},
      {2, {1000, 750}, {0, 56, 576, 432}},  // width limits
      {2, {750, 1000}, {84, 0, 408, 544}},  // height limits
      {2, {577, 10}, {0, 267, 576, 9}},     // 9.98 truncated
      {2, {5000, 1}, {0, 271, 576, 1}},     // never shrunk to nothing
  };
  for (const Case& c : cases) {
    EXPECT_EQ(place_picture(c.mode, client, c.picture), c.expected)
        << "mode " << c.mode << ", " << c.picture.width() << "x" << c.picture.height();
  }
  EXPECT_EQ(place_picture(2, QRect(4, 4, 100, 50), {10, 10}), QRect(49, 24, 10, 10));
  EXPECT_TRUE(place_picture(1, client, {0, 0}).isEmpty());
  EXPECT_TRUE(place_picture(1, QRect(), {10, 10}).isEmpty());
}

// Where the picture lands is read back from grabbed pixels: each sample names the quadrant
// colour it must show, or the background.
enum class Shows { background, top_left, top_right, bottom_left, bottom_right };

QRgb expected_colour(Shows shows, QRgb background) {
  const test::Quadrants q;
  switch (shows) {
    case Shows::top_left: return q.top_left;
    case Shows::top_right: return q.top_right;
    case Shows::bottom_left: return q.bottom_left;
    case Shows::bottom_right: return q.bottom_right;
    case Shows::background: break;
  }
  return background;
}

TEST(PictureBoxPaint, PlacesPicturesByDisplayMode) {
  struct Sample {
    QPoint at;
    Shows shows;
  };
  struct Case {
    int mode;
    QSize picture;
    std::vector<Sample> samples;
  };
  using enum Shows;
  const std::vector<Case> cases = {
      // Mode 1 fills the box whatever the picture's size: enlarged or shrunk, distorted.
      {1, {1000, 750},
       {{{2, 2}, top_left}, {{573, 2}, top_right}, {{2, 541}, bottom_left},
        {{573, 541}, bottom_right}, {{285, 269}, top_left}, {{291, 275}, bottom_right}}},
      {1, {100, 100},
       {{{2, 2}, top_left}, {{573, 2}, top_right}, {{2, 541}, bottom_left},
        {{573, 541}, bottom_right}, {{284, 268}, top_left}, {{292, 276}, bottom_right}}},
      // Mode 0: natural size at the top-left, the rest cut off.
      {0, {1000, 750},
       {{{0, 0}, top_left}, {{499, 374}, top_left}, {{575, 0}, top_right},
        {{0, 374}, top_left}, {{0, 375}, bottom_left}, {{575, 543}, bottom_right}}},
      {0, {100, 100},
       {{{0, 0}, top_left}, {{99, 99}, bottom_right}, {{100, 50}, background},
        {{50, 100}, background}, {{575, 543}, background}}},
      // Mode 2: shrunk with the aspect kept and centred, or natural size centred.
      {2, {1000, 750},
       {{{288, 53}, background}, {{2, 59}, top_left}, {{573, 59}, top_right},
        {{2, 484}, bottom_left}, {{573, 484}, bottom_right}, {{288, 491}, background}}},
      {2, {100, 100},
       {{{237, 272}, background}, {{238, 222}, top_left}, {{337, 321}, bottom_right},
        {{338, 272}, background}, {{288, 221}, background}, {{288, 322}, background},
        {{287, 271}, top_left}, {{288, 272}, bottom_right}}},
  };
  const QRgb fill = qRgb(0x10, 0x20, 0x30);
  for (const Case& c : cases) {
    PictureBoxSettings settings;
    settings.display_mode = c.mode;
    settings.background = 0x00302010;
    auto box = make_box(settings);
    box->set_picture(quadrant_bmp(c.picture.width(), c.picture.height()));
    const QImage shot = grab(*box);
    ASSERT_EQ(shot.size(), QSize(box_w, box_h));
    for (const Sample& s : c.samples) {
      EXPECT_TRUE(colour_near(shot.pixel(s.at), expected_colour(s.shows, fill)))
          << "mode " << c.mode << ", picture " << c.picture.width() << "x"
          << c.picture.height() << ", at " << s.at.x() << "," << s.at.y();
    }
  }
}

TEST(PictureBoxPaint, ModeThreeResizesTheBoxToThePicture) {
  struct Case {
    int border_style;
    int frame;  // pixels of frame on each side
  };
  for (const Case c : {Case{0, 0}, Case{1, 2}, Case{4, 4}}) {
    PictureBoxSettings settings;
    settings.display_mode = 3;
    settings.border_style = c.border_style;
    auto box = make_box(settings);

    box->set_picture(quadrant_bmp(100, 60));
    EXPECT_EQ(box->contentsRect().size(), QSize(100, 60)) << "border " << c.border_style;
    EXPECT_EQ(box->size(), QSize(100 + 2 * c.frame, 60 + 2 * c.frame));
    const QImage shot = grab(*box);
    const test::Quadrants q;
    EXPECT_TRUE(colour_near(shot.pixel(c.frame, c.frame), q.top_left));
    EXPECT_TRUE(colour_near(shot.pixel(c.frame + 99, c.frame + 59), q.bottom_right));

    box->set_picture(quadrant_bmp(1000, 750));
    EXPECT_EQ(box->contentsRect().size(), QSize(1000, 750));

    // Nothing decodes: the box keeps its size.
    box->set_picture(Bytes{'<', 'h', 't', 'm', 'l', '>', '4', '0', '4'});
    EXPECT_EQ(box->contentsRect().size(), QSize(1000, 750));
  }
}

TEST(PictureBoxPaint, AnAnimatedGifInModeThreeTakesTheLogicalScreenSize) {
  PictureBoxSettings settings;
  settings.display_mode = 3;
  auto box = make_box(settings);
  box->set_picture(test::make_solid_gif(40, 30, {qRgb(255, 0, 0), qRgb(0, 255, 0)}, 5));
  EXPECT_EQ(box->size(), QSize(40, 30));
}

TEST(PictureBoxPaint, FillsWithItsBackgroundColour) {
  struct Case {
    std::uint32_t setting;
    QRgb expected;
  };
  const Case cases[] = {
      {0x00302010, qRgb(0x10, 0x20, 0x30)},  // 0x00BBGGRR
      {0x00FFFFFF, qRgb(255, 255, 255)},
      {0x00000000, qRgb(0, 0, 0)},
      {0xFF000000, test::button_face()},
  };
  for (const Case& c : cases) {
    PictureBoxSettings settings;
    settings.background = c.setting;
    auto box = make_box(settings);
    const QImage shot = grab(*box);
    for (const QPoint at : {QPoint(0, 0), QPoint(288, 272), QPoint(575, 543)}) {
      EXPECT_TRUE(colour_near(shot.pixel(at), c.expected)) << std::hex << c.setting;
    }
  }
}

TEST(PictureBoxPaint, DrawsEachBorderStyleAroundItsClientArea) {
  struct Case {
    int style;
    int frame;
  };
  const Case cases[] = {{0, 0}, {1, 2}, {2, 2}, {3, 1}, {4, 4}, {5, 1}, {9, 0}};
  const QRgb colour = qRgb(30, 140, 220);
  const Bytes picture = test::make_bmp(10, 10, [&](int, int) { return colour; });
  for (const Case& c : cases) {
    PictureBoxSettings settings;
    settings.border_style = c.style;
    auto box = make_box(settings, {100, 80});
    box->set_picture(picture);
    EXPECT_EQ(box->contentsRect(), QRect(c.frame, c.frame, 100 - 2 * c.frame, 80 - 2 * c.frame))
        << "style " << c.style;
    const QImage shot = grab(*box);
    EXPECT_TRUE(colour_near(shot.pixel(c.frame, c.frame), colour)) << "style " << c.style;
    EXPECT_TRUE(colour_near(shot.pixel(99 - c.frame, 79 - c.frame), colour)) << "style " << c.style;
    if (c.frame > 0) {
      EXPECT_FALSE(colour_near(shot.pixel(0, 0), colour)) << "style " << c.style << " has a frame";
    }
  }
}

TEST(PictureBoxPaint, BlendsAlphaOverTheBackgroundByTruncation) {
  // Left half fully transparent, right half red 201, blue 50 at alpha 100. The exact
  // blends end in .8 and .6, so rounding instead of truncating shows.
  QImage png(40, 20, QImage::Format_ARGB32);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 40; ++x) png.setPixel(x, y, x < 20 ? qRgba(255, 0, 0, 0) : qRgba(201, 0, 50, 100));
  }
  const Bytes bytes = test::encode_with_qt(png, "PNG");
  ASSERT_FALSE(bytes.empty());

  struct Case {
    std::uint32_t setting;
    QRgb left;
    QRgb right;
  };
  const Case cases[] = {
      {0x0064FF00, qRgb(0, 255, 100), qRgb(78, 155, 80)},
      {0x00000000, qRgb(0, 0, 0), qRgb(78, 0, 19)},
  };
  for (const Case& c : cases) {
    PictureBoxSettings settings;
    settings.display_mode = 0;
    settings.background = c.setting;
    auto box = make_box(settings);
    box->set_picture(bytes);
    const QImage shot = grab(*box);
    EXPECT_TRUE(colour_near(shot.pixel(5, 10), c.left)) << std::hex << c.setting;
    EXPECT_TRUE(colour_near(shot.pixel(30, 10), c.right)) << std::hex << c.setting;
  }

  // With the marker, the transparent area shows the button face.
  PictureBoxSettings settings;
  auto box = make_box(settings);
  box->set_picture(bytes);
  const QImage shot = grab(*box);
  EXPECT_TRUE(colour_near(shot.pixel(100, 272), test::button_face()));
}

TEST(PictureBoxPaint, IconsAndCursorsShowTheBackgroundThroughTheirMask) {
  const QRgb colour = qRgb(220, 20, 60);
  const auto masked = [](int x, int y) { return x < 16 || y < 4; };
  for (const int type : {1, 2}) {
    PictureBoxSettings settings;
    settings.display_mode = 0;
    settings.background = 0x00302010;
    auto box = make_box(settings);
    box->set_picture(test::make_icon(type, colour, masked));
    const QImage shot = grab(*box);
    EXPECT_TRUE(colour_near(shot.pixel(5, 16), qRgb(0x10, 0x20, 0x30))) << "type " << type;
    EXPECT_TRUE(colour_near(shot.pixel(25, 2), qRgb(0x10, 0x20, 0x30))) << "type " << type;
    EXPECT_TRUE(colour_near(shot.pixel(25, 16), colour)) << "type " << type;
    EXPECT_TRUE(colour_near(shot.pixel(31, 31), colour)) << "type " << type;
  }
}

TEST(PictureBoxPaint, OneBitPcxIsBlackAndWhite) {
  const auto white = [](int x, int y) { return (x + y) % 3 == 0; };
  PictureBoxSettings settings;
  settings.display_mode = 0;
  settings.background = 0x00302010;
  auto box = make_box(settings);
  box->set_picture(test::make_pcx1(19, 5, white));  // a width that is no multiple of 8
  const QImage shot = grab(*box);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 19; ++x) {
      EXPECT_TRUE(colour_near(shot.pixel(x, y), white(x, y) ? qRgb(255, 255, 255) : qRgb(0, 0, 0)))
          << x << "," << y;
    }
  }
  EXPECT_TRUE(colour_near(shot.pixel(19, 0), qRgb(0x10, 0x20, 0x30)));
}

TEST(PictureBoxBytes, GivesBackExactlyWhatWasWritten) {
  const QRgb jpeg_colour = qRgb(40, 120, 200);
  const Bytes jpeg = test::encode_with_qt(test::solid_image(64, 48, jpeg_colour), "JPG", 95);
  ASSERT_GT(jpeg.size(), 8u);
  const std::string html = "<html><body><h1>502 Bad Gateway</h1></body></html>\r\n";
  struct Case {
    const char* name;
    Bytes bytes;
    bool shows_picture;
  };
  const Case cases[] = {
      {"empty", {}, false},
      {"an HTML page", Bytes(html.begin(), html.end()), false},
      {"7 bytes of JPEG start", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A}, false},
      {"a JPEG cut after its start", Bytes(jpeg.begin(), jpeg.begin() + 12), false},
      {"a decodable JPEG", jpeg, true},
  };
  const QRgb background = qRgb(0x10, 0x20, 0x30);
  for (const Case& c : cases) {
    PictureBoxSettings settings;
    settings.background = 0x00302010;
    auto box = make_box(settings);
    box->set_picture(quadrant_bmp(20, 20));  // a picture before, which must go
    box->set_picture(c.bytes);
    EXPECT_EQ(box->get_picture(), c.bytes) << c.name;
    EXPECT_EQ(box->get_picture(), c.bytes) << c.name << ", read twice";
    const QImage shot = grab(*box);
    for (const QPoint at : {QPoint(3, 3), QPoint(288, 272), QPoint(572, 540)}) {
      EXPECT_TRUE(colour_near(shot.pixel(at), c.shows_picture ? jpeg_colour : background,
                              c.shows_picture ? 8 : 0))
          << c.name;
    }
  }
}

TEST(PictureBoxBytes, InitialBytesShowAsIfWritten) {
  PictureBoxSettings settings;
  settings.display_mode = 3;
  settings.initial = quadrant_bmp(30, 20);
  PictureBox box(settings);
  EXPECT_EQ(box.get_picture(), settings.initial);
  EXPECT_EQ(box.size(), QSize(30, 20));
  EXPECT_TRUE(colour_near(box.grab().toImage().pixel(2, 2), test::Quadrants{}.top_left));
}

}  // namespace
}  // namespace miaohui
