// The award certificate: a card on a transparent margin, with a soft shadow.
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "ornaments.h"
#include "pictures.h"
#include "shapes.h"

namespace miaohui {

QImage draw_award(const PictureText& text) {
  constexpr int width = 1000, height = 720, margin = 36;
  const QColor red(0xc1, 0x12, 0x1f), gold(0xe8, 0xb3, 0x3a), paper(0xff, 0xf7, 0xe6), ink(0x33, 0x26, 0x1c);

  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  const QRectF card(margin, margin, width - 2 * margin, height - 2 * margin);
  for (int i = 8; i >= 1; --i) {  // shadow: fading rings below and to the right
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 10));
    p.drawRoundedRect(card.translated(5, 7).adjusted(-i * 2, -i * 2, i * 2, i * 2), 18 + i * 2, 18 + i * 2);
  }
  QPainterPath outline;
  outline.addRoundedRect(card, 16, 16);
  p.setClipPath(outline);
  p.fillRect(card, red);
  const QRectF sheet = card.adjusted(26, 26, -26, -26);
  p.fillRect(sheet, paper);
  draw_frame(p, sheet.adjusted(8, 8, -8, -8), gold, paper);
  p.setClipping(false);

  // Title with stars either side.
  const QRectF title_box(sheet.left(), sheet.top() + 42, sheet.width(), 110);
  QPainterPath title;
  const QFont title_font = cjk_font(100, true, 140);
  title.addText(0, 0, title_font, QStringLiteral("奖状"));
  const QRectF tb = title.boundingRect();
  title.translate(title_box.center() - tb.center());
  p.setPen(QPen(gold, 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(gold);
  p.drawPath(title);
  p.setPen(Qt::NoPen);
  p.setBrush(red);
  p.drawPath(title);
  p.setPen(Qt::NoPen);
  p.setBrush(gold);
  for (qreal dx : {-1.0, 1.0}) {
    p.drawPath(star_path(title_box.center() + QPointF(dx * (tb.width() / 2 + 70), 0), 30, 12));
    p.drawPath(star_path(title_box.center() + QPointF(dx * (tb.width() / 2 + 125), 6), 18, 7));
  }
  p.setPen(red.lighter(130));
  p.setFont(cjk_font(22, false, 130));
  p.drawText(QRectF(sheet.left(), title_box.bottom() + 2, sheet.width(), 30), Qt::AlignCenter,
             QStringLiteral("— ") + text.title + QStringLiteral(" —"));

  // The name, then the award in large type.
  const qreal text_left = sheet.left() + 90, text_right = sheet.right() - 90;
  const QRectF name_box(text_left, title_box.bottom() + 50, (text_right - text_left) * 0.8, 70);
  p.setPen(red);
  const int name_px = draw_fitted_text(p, name_box, text.name, 60, 24, true, Qt::AlignLeft | Qt::AlignVCenter);
  const qreal name_w = std::min(name_box.width(), QFontMetricsF(cjk_font(name_px, true)).horizontalAdvance(text.name));
  p.setPen(QPen(red, 2));
  p.drawLine(QPointF(text_left, name_box.bottom()), QPointF(text_left + name_w + 8, name_box.bottom()));
  p.setPen(ink);
  p.setFont(cjk_font(34));
  p.drawText(QRectF(text_left + name_w + 12, name_box.top(), 160, name_box.height()), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("同学："));

  draw_fitted_text(p, QRectF(text_left, name_box.bottom() + 14, text_right - text_left, 50),
                   QStringLiteral("　　在本年度的评比中表现突出，成绩斐然，被评为："), 30, 16, false,
                   Qt::AlignLeft | Qt::AlignVCenter);
  const QString award = text.options.empty() ? QStringLiteral("（未给出）") : text.options.front().words;
  p.setPen(red);
  draw_fitted_text(p, QRectF(text_left, name_box.bottom() + 72, text_right - text_left, 84),
                   QStringLiteral("「") + award + QStringLiteral("」"), 66, 26, true);
  p.setPen(ink);
  p.setFont(cjk_font(30));
  p.drawText(QRectF(text_left, name_box.bottom() + 162, text_right - text_left, 46), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("　　特发此状，以资鼓励。"));

  const QRectF issuer(sheet.right() - 420, sheet.bottom() - 120, 360, 40);
  p.setFont(cjk_font(26));
  p.drawText(issuer, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("妙绘工坊搞笑评审委员会"));
  p.setFont(cjk_font(18));
  p.setPen(ink.lighter(170));
  p.drawText(QRectF(sheet.left(), sheet.bottom() - 64, sheet.width(), 24), Qt::AlignCenter, QStringLiteral("仅供娱乐"));
  draw_seal(p, QPointF(issuer.right() - 70, issuer.center().y() + 6), 74, QStringLiteral("搞笑评审委员会"),
            QStringLiteral("奖状专用"), QColor(0xd0, 0x1f, 0x25, 190));
  return image;
}

}  // namespace miaohui
