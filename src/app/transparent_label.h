#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include "app/design.h"

namespace miaohui {

// Text drawn straight over whatever lies behind it: no background, no focus, no mouse.
// The text is not clipped to the design's rectangle, so the widget is made large enough for
// the drawn text; design_rect() keeps the rectangle of the design that the text is laid out in.
class TransparentLabel : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QRect design_rect READ design_rect)
  Q_PROPERTY(QString text READ text)

 public:
  TransparentLabel(const QString& text, const LabelLook& look, const QRect& design_rect, QWidget* parent);

  QString text() const { return text_; }
  QRect design_rect() const { return design_rect_; }
  QColor colour() const { return colour_; }
  int draw_flags() const { return flags_; }  // Qt::AlignmentFlag | Qt::TextFlag

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  QRect design_rect_;
  QColor colour_;
  int flags_ = 0;
  QPoint origin_;  // the design rectangle's top left inside the widget
};

// 0x00BBGGRR as a colour.
QColor colour_from_bgr(std::uint32_t value);

}  // namespace miaohui
