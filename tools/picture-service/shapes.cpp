#include "shapes.h"

#include "ornaments.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace miaohui {

namespace {

QPainterPath polygon(std::initializer_list<QPointF> points) {
  QPainterPath path;
  path.addPolygon(QPolygonF(points));
  path.closeSubpath();
  return path;
}

void fill(QPainter& p, const QPainterPath& path, const QBrush& brush, const QColor& outline = Qt::transparent,
          qreal width = 0.6) {
  p.setPen(outline.alpha() == 0 ? QPen(Qt::NoPen) : QPen(outline, width));
  p.setBrush(brush);
  p.drawPath(path);
}

QLinearGradient gloss(const QColor& body, qreal top, qreal bottom) {
  QLinearGradient g(0, top, 0, bottom);
  g.setColorAt(0, body.lighter(150));
  g.setColorAt(0.45, body);
  g.setColorAt(1, body.darker(160));
  return g;
}

void wheel(QPainter& p, QPointF c, qreal r) {
  fill(p, [&] { QPainterPath w; w.addEllipse(c, r, r); return w; }(), QColor(0x22, 0x22, 0x26));
  QRadialGradient rim(c, r * 0.6);
  rim.setColorAt(0, QColor(0xf2, 0xf2, 0xf2));
  rim.setColorAt(1, QColor(0x8a, 0x8e, 0x96));
  QPainterPath hub;
  hub.addEllipse(c, r * 0.58, r * 0.58);
  fill(p, hub, rim);
  p.setPen(QPen(QColor(0x55, 0x58, 0x60), r * 0.08));
  for (int i = 0; i < 5; ++i) {
    const double a = i * 2 * std::numbers::pi / 5;
    p.drawLine(c, c + QPointF(std::cos(a), std::sin(a)) * r * 0.55);
  }
}

void shadow(QPainter& p, QPointF c, qreal rx, qreal ry) {
  QRadialGradient g(c, rx);
  g.setColorAt(0, QColor(0, 0, 0, 90));
  g.setColorAt(1, QColor(0, 0, 0, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.save();
  p.translate(c);
  p.scale(1, ry / rx);
  p.drawEllipse(QPointF(0, 0), rx, rx);
  p.restore();
}

const QColor glass(0x9c, 0xc4, 0xe4);

// Cars face right, 100 wide, the ground at 31.
void draw_car(QPainter& p, Emblem kind, const QColor& body) {
  shadow(p, {50, 32}, 50, 3);
  QPainterPath shell, window;
  qreal rear_wheel = 22, front_wheel = 80, r = 7;
  switch (kind) {
    case Emblem::sports_car:
      shell.moveTo(5, 31);
      shell.lineTo(3, 25);
      shell.cubicTo(4, 21, 10, 20, 22, 19);
      shell.cubicTo(32, 10, 44, 8, 54, 9);
      shell.cubicTo(62, 10, 70, 14, 76, 18);
      shell.cubicTo(86, 19, 95, 21, 97, 25);
      shell.lineTo(96, 30);
      window.moveTo(30, 18.5);
      window.cubicTo(38, 12, 46, 11, 54, 11.5);
      window.cubicTo(61, 12, 67, 15, 71, 18.5);
      break;
    case Emblem::suv:
      r = 8.5;
      front_wheel = 78;
      shell.moveTo(4, 31);
      shell.lineTo(3, 20);
      shell.cubicTo(3, 15, 8, 12, 18, 10);
      shell.cubicTo(30, 8, 46, 8, 54, 9);
      shell.cubicTo(60, 10, 67, 14, 72, 17.5);
      shell.cubicTo(85, 18.5, 95, 19.5, 96, 24);
      shell.lineTo(96, 30);
      window.moveTo(12, 17.5);
      window.cubicTo(13, 14, 16, 12.5, 22, 12);
      window.lineTo(53, 11.5);
      window.cubicTo(58, 12, 63, 15, 67, 17.5);
      break;
    default:
      shell.moveTo(4, 31);
      shell.lineTo(4, 22);
      shell.cubicTo(6, 19, 14, 18, 22, 18);
      shell.cubicTo(28, 11, 38, 9, 50, 9);
      shell.cubicTo(60, 9, 66, 12, 72, 18);
      shell.cubicTo(86, 18.5, 95, 20, 96, 24);
      shell.lineTo(96, 30);
      window.moveTo(26, 18);
      window.cubicTo(31, 12.5, 39, 11, 49, 11);
      window.cubicTo(57, 11, 62, 13.5, 67, 18);
      break;
  }
  shell.closeSubpath();
  window.closeSubpath();
  fill(p, shell, gloss(body, 8, 31), body.darker(200));
  QLinearGradient g(0, 10, 0, 19);
  g.setColorAt(0, glass.lighter(130));
  g.setColorAt(1, glass.darker(150));
  fill(p, window, g, body.darker(220), 0.5);
  p.setPen(QPen(body.darker(170), 0.5));
  p.drawLine(QPointF(49, 12), QPointF(48, 18.5));          // door pillar
  p.setPen(QPen(body.lighter(170), 0.7));
  p.drawLine(QPointF(12, 23), QPointF(88, 23.5));          // shoulder line
  fill(p, [] { QPainterPath l; l.addEllipse(QPointF(93.5, 24), 2.2, 1.2); return l; }(), QColor(0xff, 0xf6, 0xc8));
  fill(p, [] { QPainterPath l; l.addEllipse(QPointF(4.6, 23.5), 1, 1.4); return l; }(), QColor(0xe0, 0x20, 0x20));
  for (qreal x : {rear_wheel, front_wheel}) {
    QPainterPath arch;
    arch.addEllipse(QPointF(x, 31), r + 1.2, r + 1.2);
    fill(p, arch, QColor(0x15, 0x15, 0x18));
    wheel(p, {x, 31}, r);
  }
}

void draw_plane(QPainter& p, const QColor& body) {
  shadow(p, {50, 44}, 40, 2);
  QPainterPath fuselage;
  fuselage.moveTo(12, 18);
  fuselage.lineTo(84, 18);
  fuselage.cubicTo(93, 18, 97, 22, 97, 23.5);
  fuselage.cubicTo(97, 25.5, 93, 28, 85, 28);
  fuselage.lineTo(16, 28);
  fuselage.cubicTo(9, 28, 5, 25, 4, 21);
  fuselage.closeSubpath();
  fill(p, polygon({{4, 20}, {14, 19}, {9, 3}, {4, 3}}), body.darker(130), body.darker(200));
  fill(p, fuselage, gloss(QColor(0xf4, 0xf6, 0xfa), 18, 28), QColor(0x7a, 0x80, 0x90));
  p.setPen(Qt::NoPen);
  p.setBrush(body);
  p.drawRect(QRectF(14, 24.5, 80, 1.6));                                // cheat line
  fill(p, polygon({{38, 24}, {60, 24}, {44, 40}, {36, 40}}), gloss(QColor(0xd8, 0xdc, 0xe4), 24, 40),
       QColor(0x7a, 0x80, 0x90));
  QPainterPath engine;
  engine.addRoundedRect(QRectF(43, 29.5, 12, 4.5), 2, 2);
  fill(p, engine, gloss(QColor(0xb8, 0xbe, 0xc8), 29, 34), QColor(0x60, 0x66, 0x70));
  fill(p, polygon({{5, 22}, {17, 22.5}, {9, 27}, {3, 27}}), QColor(0xc8, 0xcc, 0xd6));
  p.setBrush(QColor(0x2a, 0x44, 0x6a));
  for (qreal x = 24; x < 82; x += 3.6) p.drawEllipse(QPointF(x, 21.2), 0.75, 0.95);
  fill(p, polygon({{88, 19.5}, {93, 20}, {95.5, 22.5}, {89, 22.3}}), QColor(0x2a, 0x44, 0x6a));
}

void draw_house(QPainter& p, const QColor& body) {
  shadow(p, {50, 41}, 46, 2.5);
  fill(p, polygon({{68, 4}, {76, 4}, {76, 16}, {68, 12}}), QColor(0x8a, 0x4a, 0x36));
  QPainterPath wall;
  wall.addRect(QRectF(16, 20, 68, 20));
  fill(p, wall, gloss(QColor(0xf6, 0xe8, 0xcc), 20, 40), QColor(0x9a, 0x80, 0x60));
  fill(p, polygon({{9, 22}, {50, 3}, {91, 22}}), gloss(body, 3, 22), body.darker(200));
  fill(p, [] { QPainterPath d; d.addRoundedRect(QRectF(44, 27, 12, 13), 1, 1); return d; }(),
       QColor(0x7a, 0x44, 0x22));
  for (qreal x : {22.0, 66.0}) {
    QPainterPath w;
    w.addRect(QRectF(x, 25, 12, 9));
    fill(p, w, gloss(QColor(0xfc, 0xe8, 0x9a), 25, 34), QColor(0x6a, 0x50, 0x30));
    p.setPen(QPen(QColor(0x6a, 0x50, 0x30), 0.6));
    p.drawLine(QPointF(x + 6, 25), QPointF(x + 6, 34));
    p.drawLine(QPointF(x, 29.5), QPointF(x + 12, 29.5));
  }
  QPainterPath round_window;
  round_window.addEllipse(QPointF(50, 14), 3.2, 3.2);
  fill(p, round_window, QColor(0xfc, 0xe8, 0x9a), QColor(0x6a, 0x50, 0x30));
}

void draw_excavator(QPainter& p, const QColor& body) {
  shadow(p, {40, 41}, 40, 2.5);
  QPainterPath track;
  track.addRoundedRect(QRectF(6, 32, 58, 9), 4.5, 4.5);
  fill(p, track, QColor(0x2a, 0x2a, 0x2e));
  p.setBrush(QColor(0x70, 0x72, 0x78));
  p.setPen(Qt::NoPen);
  for (qreal x = 11; x < 62; x += 8) p.drawEllipse(QPointF(x, 36.5), 2.6, 2.6);
  QPainterPath deck;
  deck.addRect(QRectF(10, 23, 50, 9));
  fill(p, deck, gloss(body, 23, 32), body.darker(200));
  QPainterPath cab;
  cab.moveTo(34, 23);
  cab.lineTo(34, 10);
  cab.lineTo(50, 10);
  cab.lineTo(56, 18);
  cab.lineTo(56, 23);
  cab.closeSubpath();
  fill(p, cab, gloss(body, 10, 23), body.darker(200));
  fill(p, polygon({{36, 12}, {48.5, 12}, {53, 18}, {36, 18}}), glass, body.darker(200), 0.4);
  fill(p, polygon({{52, 21}, {72, 3}, {79, 6}, {59, 25}}), gloss(body, 3, 25), body.darker(200));
  fill(p, polygon({{72, 3}, {79, 6}, {93, 26}, {88, 28}}), gloss(body, 3, 28), body.darker(200));
  QPainterPath bucket;
  bucket.moveTo(86, 25);
  bucket.cubicTo(82, 33, 90, 39, 98, 35);
  bucket.lineTo(95, 24);
  bucket.closeSubpath();
  fill(p, bucket, QColor(0x50, 0x52, 0x58), QColor(0x20, 0x20, 0x24));
  p.setPen(QPen(QColor(0x33, 0x33, 0x38), 1.2));
  p.drawLine(QPointF(62, 14), QPointF(80, 15));                       // hydraulic ram
  p.setPen(QColor(0x20, 0x20, 0x20));
  p.setFont(cjk_font(5, true));
  p.drawText(QRectF(12, 24, 20, 7), Qt::AlignCenter, QStringLiteral("XE950"));
}

void draw_gold(QPainter& p, const QColor& body) {
  shadow(p, {50, 50}, 44, 3);
  QPainterPath dome;
  dome.addEllipse(QPointF(50, 20), 22, 15);
  QRadialGradient shine(QPointF(44, 12), 26);
  shine.setColorAt(0, QColor(0xff, 0xf6, 0xc0));
  shine.setColorAt(0.5, body);
  shine.setColorAt(1, body.darker(150));
  fill(p, dome, shine, body.darker(190));
  QPainterPath boat;
  boat.moveTo(3, 16);
  boat.cubicTo(12, 28, 88, 28, 97, 16);
  boat.cubicTo(94, 38, 76, 50, 50, 50);
  boat.cubicTo(24, 50, 6, 38, 3, 16);
  boat.closeSubpath();
  fill(p, boat, gloss(body, 16, 50), body.darker(190));
  p.setPen(QPen(QColor(0xff, 0xf8, 0xd8), 1.1));
  p.drawLine(QPointF(16, 30), QPointF(30, 37));
  p.setBrush(QColor(0xff, 0xfd, 0xf0));
  p.setPen(Qt::NoPen);
  p.drawPath(star_path({83, 6}, 5, 1.4, 4));
  p.drawPath(star_path({14, 8}, 3.5, 1, 4));
}

void draw_globe(QPainter& p, const QColor& body) {
  const QPointF c(50, 50);
  QRadialGradient sea(QPointF(40, 38), 50);
  sea.setColorAt(0, body.lighter(170));
  sea.setColorAt(1, body.darker(130));
  QPainterPath ball;
  ball.addEllipse(c, 40, 40);
  fill(p, ball, sea, body.darker(200), 1);
  p.save();
  p.setClipPath(ball);
  p.setBrush(QColor(0x5f, 0xa8, 0x5a));
  p.setPen(Qt::NoPen);
  QPainterPath land;
  land.moveTo(22, 30);
  land.cubicTo(30, 18, 48, 20, 50, 30);
  land.cubicTo(52, 40, 40, 44, 42, 56);
  land.cubicTo(44, 68, 34, 74, 30, 64);
  land.cubicTo(26, 54, 14, 46, 22, 30);
  land.moveTo(60, 22);
  land.cubicTo(72, 18, 86, 28, 84, 40);
  land.cubicTo(82, 48, 70, 46, 66, 52);
  land.cubicTo(60, 60, 70, 74, 62, 80);
  land.cubicTo(54, 70, 54, 56, 58, 46);
  land.cubicTo(60, 38, 52, 28, 60, 22);
  p.drawPath(land);
  p.setPen(QPen(QColor(255, 255, 255, 110), 0.8));
  p.setBrush(Qt::NoBrush);
  for (qreal rx : {14.0, 28.0}) p.drawEllipse(c, rx, 40.0);
  p.drawLine(QPointF(50, 10), QPointF(50, 90));
  for (qreal y : {-20.0, 0.0, 20.0}) p.drawLine(QPointF(10, 50 + y), QPointF(90, 50 + y));
  p.restore();
  p.setPen(QPen(QColor(0xd4, 0xa0, 0x17), 1.4, Qt::DashLine));
  p.setBrush(Qt::NoBrush);
  QPainterPath route;
  route.moveTo(6, 70);
  route.cubicTo(20, 0, 80, 0, 94, 30);
  p.drawPath(route);
}

}  // namespace

QPainterPath star_path(QPointF centre, qreal outer_radius, qreal inner_radius, int points) {
  QPolygonF star;
  for (int i = 0; i < 2 * points; ++i) {
    const double a = -std::numbers::pi / 2 + i * std::numbers::pi / points;
    const qreal r = i % 2 == 0 ? outer_radius : inner_radius;
    star << centre + QPointF(std::cos(a) * r, std::sin(a) * r);
  }
  QPainterPath path;
  path.addPolygon(star);
  path.closeSubpath();
  return path;
}

QPainterPath heart_path(const QRectF& box) {
  QPainterPath heart;
  heart.moveTo(50, 30);
  heart.cubicTo(50, 27, 45, 15, 25, 15);
  heart.cubicTo(0, 15, 0, 42.5, 0, 42.5);
  heart.cubicTo(0, 60, 20, 77, 50, 92);
  heart.cubicTo(80, 77, 100, 60, 100, 42.5);
  heart.cubicTo(100, 42.5, 100, 15, 75, 15);
  heart.cubicTo(62.5, 15, 50, 27, 50, 30);
  QTransform t;
  t.translate(box.left(), box.top());
  t.scale(box.width() / 100, box.height() / 77);
  t.translate(0, -15);
  return t.map(heart);
}

void draw_emblem(QPainter& painter, Emblem emblem, const QRectF& box, const QColor& body) {
  QRectF space(0, 0, 100, 44);
  if (emblem == Emblem::gold_ingot) space = QRectF(0, 0, 100, 54);
  if (emblem == Emblem::globe) space = QRectF(0, 0, 100, 100);
  const qreal scale = std::min(box.width() / space.width(), box.height() / space.height());
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(box.center() - QPointF(space.width(), space.height()) * scale / 2);
  painter.scale(scale, scale);
  switch (emblem) {
    case Emblem::sports_car:
    case Emblem::suv:
    case Emblem::sedan: draw_car(painter, emblem, body); break;
    case Emblem::plane: draw_plane(painter, body); break;
    case Emblem::house: draw_house(painter, body); break;
    case Emblem::excavator: draw_excavator(painter, body); break;
    case Emblem::gold_ingot: draw_gold(painter, body); break;
    case Emblem::globe: draw_globe(painter, body); break;
  }
  painter.restore();
}

}  // namespace miaohui
