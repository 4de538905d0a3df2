// The love-confession banners: hearts for 美女表白 and 帅哥表白, a lit tower for 楼宇表白.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

#include "ornaments.h"
#include "pictures.h"
#include "shapes.h"

namespace miaohui {

namespace {

constexpr int frame_count = 8;

// Small fixed scatter, the same for every request, so the frames join up when they loop.
qreal scatter(int i, int salt) { return std::fmod(std::abs(std::sin(i * 12.9898 + salt * 78.233)) * 43758.5453, 1.0); }

QImage hearts_frame(const PictureText& text, int frame) {
  constexpr int width = 540, height = 480;
  const bool from_her = text.look == "按钮5";
  const QColor back = from_her ? QColor(0xff, 0xd9, 0xe6) : QColor(0xdc, 0xe2, 0xff);
  const QColor deep = from_her ? QColor(0xd6, 0x1f, 0x69) : QColor(0x4b, 0x3f, 0xb8);
  const qreal t = static_cast<qreal>(frame) / frame_count;

  QImage image(width, height, QImage::Format_RGB32);
  image.fill(back);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);

  // Hearts rising; each climbs a whole number of laps in one loop of the animation.
  for (int i = 0; i < 16; ++i) {
    const qreal size = 18 + 26 * scatter(i, 1);
    const qreal laps = 1 + (i % 2);
    const qreal span = height + 2 * size;
    const qreal y = std::fmod(scatter(i, 2) * span - t * laps * span + 2 * span, span) - size;
    const qreal x = 20 + (width - 40) * scatter(i, 3) + 8 * std::sin(2 * std::numbers::pi * (t + scatter(i, 4)));
    QColor c = i % 3 == 0 ? QColor(0xff, 0x7a, 0xa8) : i % 3 == 1 ? QColor(0xff, 0xa8, 0xc8) : QColor(0xff, 0x4d, 0x7e);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(heart_path(QRectF(x - size / 2, y - size / 2, size, size * 0.9)));
  }

  // Ribbon with the caption.
  const QRectF ribbon(width / 2.0 - 130, 18, 260, 52);
  p.setBrush(deep);
  p.drawRoundedRect(ribbon, 26, 26);
  p.setPen(Qt::white);
  p.setFont(cjk_font(32, true, 120));
  p.drawText(ribbon, Qt::AlignCenter, text.title);

  // The big heart beats, with the name on it.
  const qreal beat = 1 + 0.07 * std::sin(2 * std::numbers::pi * t);
  const QPointF centre(width / 2.0, 245);
  const QRectF heart_box(centre.x() - 175 * beat, centre.y() - 140 * beat, 350 * beat, 300 * beat);
  QRadialGradient red(centre - QPointF(60, 60), 260);
  red.setColorAt(0, QColor(0xff, 0x5c, 0x7c));
  red.setColorAt(1, QColor(0xc4, 0x0a, 0x2e));
  p.setPen(QPen(Qt::white, 6));
  p.setBrush(red);
  p.drawPath(heart_path(heart_box));
  p.setPen(Qt::white);
  draw_fitted_text(p, QRectF(heart_box.left() + 55, centre.y() - 70, heart_box.width() - 110, 90), text.name, 70, 22,
                   true);
  p.setFont(cjk_font(30, true));
  p.drawText(QRectF(heart_box.left(), centre.y() + 20, heart_box.width(), 44), Qt::AlignCenter,
             QStringLiteral("我喜欢你"));

  p.setPen(deep);
  p.setFont(cjk_font(28, true));
  p.drawText(QRectF(0, height - 70, width, 50), Qt::AlignCenter,
             from_her ? QStringLiteral("做我男朋友好吗？") : QStringLiteral("做我女朋友好吗？"));
  return image;
}

QImage tower_frame(const PictureText& text, int frame) {
  constexpr int width = 480, height = 560;
  QImage image(width, height, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, height);
  sky.setColorAt(0, QColor(0x07, 0x0b, 0x26));
  sky.setColorAt(1, QColor(0x2b, 0x18, 0x50));
  p.fillRect(image.rect(), sky);

  p.setPen(Qt::NoPen);
  for (int i = 0; i < 46; ++i) {  // stars twinkle in turns
    const bool bright = (i + frame) % 4 == 0;
    p.setBrush(QColor(255, 255, 255, bright ? 255 : 120));
    p.drawEllipse(QPointF(width * scatter(i, 5), 300 * scatter(i, 6)), bright ? 2.0 : 1.1, bright ? 2.0 : 1.1);
  }
  QPainterPath moon;
  moon.addEllipse(QPointF(405, 70), 30, 30);
  QPainterPath bite;
  bite.addEllipse(QPointF(392, 60), 28, 28);
  p.setBrush(QColor(0xff, 0xf1, 0xb8));
  p.drawPath(moon.subtracted(bite));

  // Skyline behind the tower, with a few lit windows.
  const QColor far(0x14, 0x1a, 0x38);
  const int skyline[][3] = {{0, 380, 70}, {60, 330, 60}, {350, 350, 70}, {410, 300, 70}, {-10, 440, 500}};
  for (const auto& b : skyline) {
    p.setBrush(far);
    p.drawRect(QRectF(b[0], b[1], b[2], height - b[1]));
    p.setBrush(QColor(0xe8, 0xc8, 0x6a, 150));
    for (int y = b[1] + 14; y < height - 10; y += 22) {
      for (int x = b[0] + 8; x < b[0] + b[2] - 8; x += 16) {
        if (scatter(x + 7 * y, 7) > 0.72) p.drawRect(QRectF(x, y, 7, 9));
      }
    }
  }

  // The tower and its spire.
  const QRectF tower(130, 150, 220, height - 150);
  p.setBrush(QColor(0x6a, 0x74, 0xa8));
  p.drawPolygon(QPolygonF({{232, 150}, {240, 70}, {248, 150}}));
  p.setBrush(QColor(0x1b, 0x24, 0x50));
  p.drawPolygon(QPolygonF({{150, 150}, {330, 150}, {310, 122}, {170, 122}}));
  p.drawRect(tower);
  p.setBrush(frame % 2 ? QColor(0xff, 0x30, 0x30) : QColor(0x60, 0x10, 0x10));
  p.drawEllipse(QPointF(240, 70), 4, 4);

  // The facade screen: name and the chosen words, changing colour; dots run round its edge.
  static const QColor hues[] = {{0xff, 0x4d, 0x88}, {0xff, 0x2b, 0x2b}, {0xff, 0xd2, 0x3f}, {0xff, 0x7a, 0xd9}};
  const QColor lit = hues[frame % 4], second = hues[(frame + 2) % 4];
  const QRectF screen = tower.adjusted(14, 30, -14, -(tower.height() - 330));
  p.setBrush(QColor(0x0a, 0x0c, 0x1c));
  p.drawRect(screen);
  p.setPen(lit);
  draw_fitted_text(p, QRectF(screen.left() + 10, screen.top() + 20, screen.width() - 20, 80), text.name, 60, 18, true);
  const QString words = text.options.empty() ? QString() : text.options.front().words;
  p.setPen(second);
  draw_fitted_text(p, QRectF(screen.left() + 8, screen.top() + 120, screen.width() - 16, 150), words, 64, 16, true);
  p.setPen(QPen(QColor(0x0a, 0x0c, 0x1c), 0.8));  // LED grid over the letters
  for (qreal y = screen.top(); y < screen.bottom(); y += 4) p.drawLine(QPointF(screen.left(), y), QPointF(screen.right(), y));
  for (qreal x = screen.left(); x < screen.right(); x += 4) p.drawLine(QPointF(x, screen.top()), QPointF(x, screen.bottom()));
  p.setPen(Qt::NoPen);
  int dot = 0;
  auto run_dot = [&](QPointF c) {
    p.setBrush((dot++ + frame) % 2 ? QColor(0xff, 0xe0, 0x66) : QColor(0x55, 0x40, 0x10));
    p.drawEllipse(c, 3, 3);
  };
  for (qreal x = screen.left(); x <= screen.right(); x += 12) run_dot({x, screen.top() - 7});
  for (qreal y = screen.top(); y <= screen.bottom(); y += 12) run_dot({screen.right() + 7, y});
  for (qreal x = screen.right(); x >= screen.left(); x -= 12) run_dot({x, screen.bottom() + 7});
  for (qreal y = screen.bottom(); y >= screen.top(); y -= 12) run_dot({screen.left() - 7, y});

  p.setBrush(QColor(0x3a, 0x4a, 0x90, 160));  // unlit office windows below the screen
  for (qreal y = screen.bottom() + 24; y < height - 8; y += 18) {
    for (qreal x = tower.left() + 12; x < tower.right() - 12; x += 20) p.drawRect(QRectF(x, y, 12, 10));
  }

  QPainterPath caption;
  caption.addText(0, 0, cjk_font(40, true, 120), text.title);
  caption.translate(QPointF(width / 2.0, 44) - caption.boundingRect().center());
  p.setPen(QPen(QColor(0xff, 0x4d, 0x88), 6));
  p.setBrush(Qt::NoBrush);
  p.drawPath(caption);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xff, 0xf0, 0xf6));
  p.drawPath(caption);
  return image;
}

}  // namespace

std::vector<QImage> draw_confession(const PictureText& text) {
  std::vector<QImage> frames;
  for (int i = 0; i < frame_count; ++i) frames.push_back(text.look == "按钮8" ? tower_frame(text, i) : hearts_frame(text, i));
  return frames;
}

}  // namespace miaohui
