#include "ornaments.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

#include "shapes.h"

namespace miaohui {

QFont cjk_font(int pixel_size, bool bold, qreal letter_spacing_percent) {
  QFont font(QStringLiteral("WenQuanYi Zen Hei"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(std::max(1, pixel_size));
  font.setBold(bold);
  if (letter_spacing_percent != 100) font.setLetterSpacing(QFont::PercentageSpacing, letter_spacing_percent);
  return font;
}

int draw_fitted_text(QPainter& painter, const QRectF& rect, const QString& text, int max_px, int min_px, bool bold,
                     Qt::Alignment alignment) {
  int px = max_px;
  QFont font = cjk_font(px, bold);
  // Shrink in steps from the measured ratio rather than one pixel at a time.
  for (int round = 0; round < 8 && px > min_px; ++round) {
    const qreal width = QFontMetricsF(font).horizontalAdvance(text);
    if (width <= rect.width()) break;
    px = std::max(min_px, static_cast<int>(px * rect.width() / width));
    font = cjk_font(px, bold);
  }
  const QFontMetricsF metrics(font);
  const QString shown = metrics.elidedText(text, Qt::ElideRight, rect.width());
  if (!bold) {
    painter.setFont(font);
    painter.drawText(rect, static_cast<int>(alignment) | Qt::TextSingleLine, shown);
    return px;
  }
  const qreal width = metrics.horizontalAdvance(shown);
  qreal x = rect.left();
  if (alignment & Qt::AlignHCenter) x = rect.center().x() - width / 2;
  if (alignment & Qt::AlignRight) x = rect.right() - width;
  const qreal baseline = rect.center().y() + (metrics.ascent() - metrics.descent()) / 2;
  QPainterPath path;
  QFont plain = font;
  plain.setBold(false);
  path.addText(x, baseline, plain, shown);
  const QColor colour = painter.pen().color();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(colour, px * 0.045, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(colour);
  painter.drawPath(path);
  painter.restore();
  return px;
}

QString drawable_name(const QString& name) {
  QString out;
  out.reserve(name.size());
  for (QChar c : name) out.append(c.category() == QChar::Other_Control ? QChar(' ') : c);
  out = out.trimmed();
  return out.isEmpty() ? QStringLiteral("（未填姓名）") : out;
}

void draw_seal(QPainter& p, QPointF centre, qreal radius, const QString& ring_text, const QString& foot_text,
               const QColor& colour) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(colour, radius * 0.075));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(centre, radius * 0.95, radius * 0.95);
  p.setPen(QPen(colour, radius * 0.02));
  p.drawEllipse(centre, radius * 0.84, radius * 0.84);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPath(star_path(centre, radius * 0.3, radius * 0.12));

  const int n = static_cast<int>(ring_text.size());
  const double span = 250.0 * std::numbers::pi / 180;  // over the top, leaving the foot open
  const qreal ring_radius = radius * 0.64;
  const qreal glyph = std::min(radius * 0.25, span * ring_radius / std::max(1, n) * 0.92);
  p.setFont(cjk_font(static_cast<int>(glyph), true));
  p.setPen(colour);
  for (int i = 0; i < n; ++i) {
    const double a = -std::numbers::pi / 2 - span / 2 + span * (i + 0.5) / n;
    p.save();
    p.translate(centre + QPointF(std::cos(a), std::sin(a)) * ring_radius);
    p.rotate(a * 180 / std::numbers::pi + 90);
    p.drawText(QRectF(-radius * 0.2, -radius * 0.16, radius * 0.4, radius * 0.32), Qt::AlignCenter, ring_text.mid(i, 1));
    p.restore();
  }
  p.setFont(cjk_font(static_cast<int>(radius * 0.2), true));
  p.drawText(QRectF(centre.x() - radius * 0.6, centre.y() + radius * 0.32, radius * 1.2, radius * 0.3), Qt::AlignCenter,
             foot_text);
  p.restore();
}

void draw_stamp(QPainter& p, QPointF centre, const QString& text, qreal pixel_size, qreal angle, const QColor& colour) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.translate(centre);
  p.rotate(angle);
  const QFont font = cjk_font(static_cast<int>(pixel_size), true, 115);
  p.setFont(font);
  const qreal w = QFontMetricsF(font).horizontalAdvance(text) + pixel_size * 1.2;
  const qreal h = pixel_size * 1.9;
  const QRectF box(-w / 2, -h / 2, w, h);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(colour, pixel_size * 0.13));
  p.drawRoundedRect(box, pixel_size * 0.2, pixel_size * 0.2);
  p.setPen(QPen(colour, pixel_size * 0.05));
  p.drawRoundedRect(box.adjusted(pixel_size * 0.22, pixel_size * 0.22, -pixel_size * 0.22, -pixel_size * 0.22),
                    pixel_size * 0.1, pixel_size * 0.1);
  p.setPen(colour);
  p.drawText(box, Qt::AlignCenter, text);
  p.restore();
}

QRectF draw_frame(QPainter& p, const QRectF& rect, const QColor& accent, const QColor& paper) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const qreal band = std::max<qreal>(10, std::min(rect.width(), rect.height()) * 0.028);
  const QRectF outer = rect;
  const QRectF inner = rect.adjusted(band, band, -band, -band);
  p.setPen(Qt::NoPen);
  QPainterPath ring;
  ring.addRect(outer);
  ring.addRect(inner);
  p.setBrush(accent);
  p.drawPath(ring);

  // A chain of diamonds along the band, in the paper's colour.
  p.setBrush(paper);
  const qreal step = band * 1.6, half = band * 0.32;
  auto diamond = [&](QPointF c) {
    p.drawPolygon(QPolygonF({c + QPointF(0, -half), c + QPointF(half, 0), c + QPointF(0, half), c + QPointF(-half, 0)}));
  };
  for (qreal x = outer.left() + band * 1.5; x < outer.right() - band; x += step) {
    diamond({x, outer.top() + band / 2});
    diamond({x, outer.bottom() - band / 2});
  }
  for (qreal y = outer.top() + band * 1.5; y < outer.bottom() - band; y += step) {
    diamond({outer.left() + band / 2, y});
    diamond({outer.right() - band / 2, y});
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(accent, 1.6));
  const QRectF rule = inner.adjusted(band * 0.5, band * 0.5, -band * 0.5, -band * 0.5);
  p.drawRect(rule);

  // Corner pieces: a quarter rosette in each corner of the inner rule.
  p.setPen(QPen(accent, 1.4));
  const qreal r = band * 2.2;
  const QPointF corners[] = {rule.topLeft(), rule.topRight(), rule.bottomRight(), rule.bottomLeft()};
  for (int i = 0; i < 4; ++i) {
    p.save();
    p.translate(corners[i]);
    p.rotate(90.0 * i);
    for (qreal k : {1.0, 0.7, 0.4}) p.drawArc(QRectF(-r * k, -r * k, 2 * r * k, 2 * r * k), -90 * 16, 90 * 16);
    p.setBrush(accent);
    p.drawEllipse(QPointF(r * 0.25, r * 0.25), band * 0.18, band * 0.18);
    p.setBrush(Qt::NoBrush);
    p.restore();
  }
  p.restore();
  return rule;
}

void draw_guilloche(QPainter& p, const QRectF& rect, const QColor& colour) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setClipRect(rect);
  p.setBrush(Qt::NoBrush);
  QColor line = colour;
  line.setAlpha(34);
  p.setPen(QPen(line, 1));
  const qreal amplitude = rect.height() * 0.05;
  for (int k = 0; k < 26; ++k) {
    QPainterPath wave;
    const qreal base = rect.top() + rect.height() * (k + 0.5) / 26;
    for (qreal x = rect.left(); x <= rect.right() + 4; x += 4) {
      const qreal t = (x - rect.left()) / rect.width() * 6 * std::numbers::pi;
      const QPointF pt(x, base + amplitude * std::sin(t + k * 0.5) * std::cos(t * 0.33 + k * 0.2));
      if (x == rect.left()) wave.moveTo(pt); else wave.lineTo(pt);
    }
    p.drawPath(wave);
  }
  p.restore();
}

void draw_barcode(QPainter& p, const QRectF& rect, std::uint32_t seed, const QColor& ink) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  const qreal unit = std::max<qreal>(1, rect.width() / 140);
  qreal x = rect.left();
  bool bar = true;
  while (x < rect.right()) {
    seed = seed * 1664525u + 1013904223u;
    const qreal w = unit * (1 + (seed >> 28) % 3);
    if (bar) p.drawRect(QRectF(x, rect.top(), std::min(w, rect.right() - x), rect.height()));
    x += w;
    bar = !bar;
  }
  p.restore();
}

std::uint32_t text_hash(const QString& text) {
  std::uint32_t h = 2166136261u;
  for (unsigned char b : text.toUtf8()) {
    h ^= b;
    h *= 16777619u;
  }
  return h;
}

}  // namespace miaohui
