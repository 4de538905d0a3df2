#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>

class QPainter;

namespace miaohui {

// Pictures drawn into the panel of a document, all from paths.
enum class Emblem { sports_car, suv, sedan, plane, house, excavator, gold_ingot, globe };

// Draws the emblem as large as fits into box, centred, in the body colour with darker details.
void draw_emblem(QPainter& painter, Emblem emblem, const QRectF& box, const QColor& body);

// A heart whose bounding box is box.
QPainterPath heart_path(const QRectF& box);

// A star of `points` points around centre.
QPainterPath star_path(QPointF centre, qreal outer_radius, qreal inner_radius, int points = 5);

}  // namespace miaohui
