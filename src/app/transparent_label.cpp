#include "app/transparent_label.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

namespace miaohui {

namespace {

int flags_for(const LabelLook& look) {
  const int horizontal = (look.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::TextDontClip;
  if (look.lines == LabelLines::wrap_from_top) return horizontal | Qt::AlignTop | Qt::TextWordWrap;
  return horizontal | Qt::AlignVCenter | Qt::TextSingleLine;
}

// A single-line label draws CR and LF as nothing: they neither break the line nor take room.
QString shown_text(const QString& text, LabelLines lines) {
  if (lines != LabelLines::single_centred) return text;
  QString shown = text;
  shown.remove(QLatin1Char('\r'));
  shown.remove(QLatin1Char('\n'));
  return shown;
}

// The labels' texts were laid out for a Chinese system font, whose Latin letters, digits and
// spaces are half as wide as an ideograph. The proportional face sets them narrower, which
// shifts the welcome heading (it starts with four spaces, left of the window) so far left
// that its first character is cut off; the face's own fixed-width sibling keeps the layout.
QFont label_font(int pixel_height) {
  QFont font = QApplication::font();
  const QString half_width_face = font.family() + QStringLiteral(" Mono");
  if (QFontDatabase::families().contains(half_width_face)) font.setFamilies({half_width_face});
  if (pixel_height > 0) font.setPixelSize(pixel_height);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

}  // namespace

QColor colour_from_bgr(std::uint32_t value) {
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

TransparentLabel::TransparentLabel(const QString& text, const LabelLook& look, const QRect& design_rect,
                                   QWidget* parent)
    : QWidget(parent),
      text_(shown_text(text, look.lines)),
      design_rect_(design_rect),
      colour_(colour_from_bgr(look.colour)),
      flags_(flags_for(look)) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  const QFont font = label_font(look.pixel_height);
  setFont(font);

  // Room for everything the text covers, wherever it runs past the design's rectangle,
  // plus a little for antialiased edges.
  const QRect local(QPoint(0, 0), design_rect.size());
  const QRect drawn = QFontMetrics(font).boundingRect(local, flags_, text_);
  const QRect extent = local.united(drawn).adjusted(-2, -2, 2, 2);
  origin_ = -extent.topLeft();
  setGeometry(QRect(design_rect.topLeft() + extent.topLeft(), extent.size()));
}

void TransparentLabel::paintEvent(QPaintEvent*) {
  if (text_.isEmpty()) return;
  QPainter painter(this);
  painter.setPen(colour_);
  painter.drawText(QRect(origin_, design_rect_.size()), flags_, text_);
}

}  // namespace miaohui
