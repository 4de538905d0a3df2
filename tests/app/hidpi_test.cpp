// Both windows at QT_SCALE_FACTOR=2: the layout of the designs at twice the device pixels,
// text drawn at device resolution where it belongs, and the picture painted from its own
// pixels rather than from a copy at the window's size.
#include <QApplication>
#include <QBuffer>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <cstdlib>

#include <gtest/gtest.h>

#include "app/app_window.h"
#include "app/designs.h"
#include "app/transparent_label.h"
#include "app/window_table.h"
#include "picture/picture_box.h"

namespace miaohui {
namespace {

// The scale factor is read once, when the application starts; tests/support/qt_test_main.cpp
// makes the application in main, after this.
[[maybe_unused]] const bool scale_two = [] { return setenv("QT_SCALE_FACTOR", "2", 1) == 0; }();

constexpr int scale = 2;

QRect scaled(const QRect& r) { return QRect(r.topLeft() * scale, r.size() * scale); }

int distance(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

// Text pixels of one colour inside a region: their bounding box, their count, and how many
// 2 x 2 blocks holding them are not of one colour (zero for a picture merely enlarged).
struct Ink {
  QRect box;
  int pixels = 0;
  int blocks = 0;
  int detailed_blocks = 0;
};

Ink ink_of(const QImage& image, const QRect& region, QColor text, QColor background) {
  const QRgb ink = text.rgb();
  const int threshold = distance(ink, background.rgb()) / 2;
  const QRect area = region.intersected(image.rect());
  auto is_ink = [&](int x, int y) { return distance(image.pixel(x, y), ink) < threshold; };
  Ink found;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (!is_ink(x, y)) continue;
      ++found.pixels;
      found.box = found.box.united(QRect(x, y, 1, 1));
    }
  }
  for (int y = area.top() & ~1; y + 1 <= area.bottom(); y += 2) {
    for (int x = area.left() & ~1; x + 1 <= area.right(); x += 2) {
      if (!(is_ink(x, y) || is_ink(x + 1, y) || is_ink(x, y + 1) || is_ink(x + 1, y + 1))) continue;
      ++found.blocks;
      const QRgb first = image.pixel(x, y);
      if (distance(image.pixel(x + 1, y), first) > 24 || distance(image.pixel(x, y + 1), first) > 24 ||
          distance(image.pixel(x + 1, y + 1), first) > 24) {
        ++found.detailed_blocks;
      }
    }
  }
  return found;
}

QImage at_scale_one(QWidget& window) {
  QImage image(window.size(), QImage::Format_RGB32);
  image.setDevicePixelRatio(1);
  window.render(&image);
  return image;
}

QImage at_device_pixels(QWidget& window) {
  const QPixmap grabbed = window.grab();
  EXPECT_EQ(grabbed.devicePixelRatio(), scale);
  QImage image = grabbed.toImage().convertToFormat(QImage::Format_RGB32);
  image.setDevicePixelRatio(1);
  return image;
}

class HiDpi : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(qApp->devicePixelRatio(), scale) << "QT_SCALE_FACTOR=2 did not take";
    ASSERT_TRUE(table.load_window(WindowId::welcome));
    ASSERT_TRUE(table.load_window(WindowId::main));
  }
  AppWindow& window(WindowId id) { return *table.window(id); }

  WindowTable table;
};

TEST_F(HiDpi, WindowsKeepTheirLayoutAtTwiceTheDevicePixels) {
  for (WindowId id : {WindowId::welcome, WindowId::main}) {
    const WindowDesign& design = design_of(id);
    SCOPED_TRACE(std::string(design.settings.title));
    AppWindow& w = window(id);
    const QSize client(design.settings.client.width, design.settings.client.height);
    EXPECT_EQ(w.size(), client);
    EXPECT_EQ(w.grab().size(), client * scale);
    for (const ControlRow& row : design.controls) {
      SCOPED_TRACE(std::string(row.name));
      QWidget* control = w.control<QWidget>(row.name);
      ASSERT_NE(control, nullptr);
      const QRect place(row.place.left, row.place.top, row.place.width, row.place.height);
      if (auto* label = qobject_cast<TransparentLabel*>(control)) {
        EXPECT_EQ(label->design_rect(), place);
        EXPECT_TRUE(label->geometry().contains(place));
      } else {
        EXPECT_EQ(control->geometry(), place);
      }
      EXPECT_EQ(control->grab().size(), control->size() * scale);
    }
  }
}

struct TextCase {
  WindowId window;
  const char* control;
  QColor colour;  // its text colour
};

// Labels of each text colour and size, and the button with the widest caption.
const std::vector<TextCase> text_cases = {
    {WindowId::welcome, "透明标签1", QColor(255, 0, 0)},  // 20 px, running past the window's left
    {WindowId::welcome, "透明标签3", QColor(0, 0, 0)},    // 12 px
    {WindowId::main, "透明标签1", QColor(0, 0, 0)},       // 14 px
    {WindowId::main, "透明标签2", QColor(0, 0, 255)},     // 16 px, wrapped
    {WindowId::main, "透明标签6", QColor(255, 0, 0)},     // 12 px
    {WindowId::main, "按钮13", QColor(0, 0, 0)},          // 豪车提车生成
    {WindowId::welcome, "按钮3", QColor(0, 0, 0)},
};

TEST_F(HiDpi, TextIsDrawnAtDeviceResolutionInItsPlace) {
  const QColor face = QApplication::palette().color(QPalette::Button);
  for (const auto& c : text_cases) {
    SCOPED_TRACE(c.control);
    AppWindow& w = window(c.window);
    QWidget* control = w.control<QWidget>(c.control);
    ASSERT_NE(control, nullptr);
    // A button's caption, inside its bevel; a label's text, wherever the label drew it.
    const QRect region = qobject_cast<QPushButton*>(control) ? control->geometry().adjusted(3, 3, -3, -3)
                                                              : control->geometry();
    const Ink one = ink_of(at_scale_one(w), region, c.colour, face);
    const Ink two = ink_of(at_device_pixels(w), scaled(region), c.colour, face);
    ASSERT_GT(one.pixels, 0) << "no text at scale 1";

    // The same place at twice the size: each edge within two device pixels.
    const QRect expected = scaled(one.box);
    EXPECT_NEAR(two.box.left(), expected.left(), 2);
    EXPECT_NEAR(two.box.top(), expected.top(), 2);
    EXPECT_NEAR(two.box.right(), expected.right(), 2);
    EXPECT_NEAR(two.box.bottom(), expected.bottom(), 2);
    // Nothing clipped: not a stroke lost, four times the ink or near it.
    EXPECT_GT(two.pixels, 3 * one.pixels);
    EXPECT_LT(two.pixels, 6 * one.pixels);
    // Drawn at device pixels, not enlarged from scale 1: glyph edges fall inside 2 x 2 blocks.
    EXPECT_GT(two.detailed_blocks, two.blocks / 4) << two.detailed_blocks << " of " << two.blocks;
  }
}

// The window manager gets the icon at device pixels: for a logical size whose double is one of
// the drawn sizes, that very drawing from the resource, not a smaller one enlarged.
TEST_F(HiDpi, WindowIconComesAtDevicePixels) {
  const QIcon icon = QApplication::windowIcon();
  ASSERT_FALSE(icon.isNull());
  for (int logical : {8, 16, 24, 64, 128}) {
    SCOPED_TRACE(logical);
    const QPixmap pixmap = icon.pixmap(QSize(logical, logical));
    EXPECT_EQ(pixmap.devicePixelRatio(), scale);
    ASSERT_EQ(pixmap.size(), QSize(logical, logical) * scale);
    const QImage drawn(QStringLiteral(":/icons/miaohui-%1.png").arg(logical * scale));
    ASSERT_FALSE(drawn.isNull());
    QImage given = pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    given.setDevicePixelRatio(1);
    EXPECT_TRUE(given == drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied));
  }
}

// A picture with detail at every device pixel of the box: one-pixel checks.
Bytes checkerboard_png(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < size.width(); ++x) line[x] = (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
  }
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return Bytes(data.begin(), data.end());
}

TEST_F(HiDpi, PictureIsPaintedFromItsOwnPixels) {
  auto* box = window(WindowId::main).control<PictureBox>("图片框1");
  ASSERT_NE(box, nullptr);
  const QRect client = box->contentsRect();
  box->set_picture(checkerboard_png(client.size() * scale));
  const QImage shown = at_device_pixels(*box);
  ASSERT_EQ(shown.size(), box->size() * scale);

  int exact = 0;
  int total = 0;
  const QRect inner = scaled(client).adjusted(4, 4, -4, -4);
  for (int y = inner.top(); y <= inner.bottom(); y += 7) {
    for (int x = inner.left(); x <= inner.right(); x += 5) {
      const int want = ((x - 2 * client.left()) + (y - 2 * client.top())) % 2 ? 255 : 0;
      ++total;
      if (std::abs(qGreen(shown.pixel(x, y)) - want) <= 16) ++exact;
    }
  }
  // A box that painted a copy at its own size, or at scale 1, would show grey here.
  EXPECT_GT(exact, total * 99 / 100) << exact << " of " << total << " pixels match the picture's";
}

}  // namespace
}  // namespace miaohui
