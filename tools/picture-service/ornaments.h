#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

#include <cstdint>

class QPainter;

namespace miaohui {

// The Chinese face (WenQuanYi Zen Hei) at a pixel size.
QFont cjk_font(int pixel_size, bool bold = false, qreal letter_spacing_percent = 100);

// Draws text in rect at the largest pixel size up to max_px whose width fits the rect, but
// not under min_px; text still too wide is elided. Bold text is filled and outlined as a path,
// since large glyphs lose a synthesised bold. Returns the pixel size used.
int draw_fitted_text(QPainter& painter, const QRectF& rect, const QString& text, int max_px, int min_px,
                     bool bold, Qt::Alignment alignment = Qt::AlignCenter);

// A name made safe to draw: control characters become spaces, an empty name a placeholder.
QString drawable_name(const QString& name);

// A red round seal: the ring text along its upper rim, a star in the middle, the foot text below.
void draw_seal(QPainter& painter, QPointF centre, qreal radius, const QString& ring_text,
               const QString& foot_text, const QColor& colour);

// A rectangular ink stamp, tilted by angle degrees.
void draw_stamp(QPainter& painter, QPointF centre, const QString& text, qreal pixel_size, qreal angle,
                const QColor& colour);

// A document frame inside rect: a broad patterned band, a thin rule inside it with corner
// pieces. Returns the rule's rectangle.
QRectF draw_frame(QPainter& painter, const QRectF& rect, const QColor& accent, const QColor& paper);

// Fine wavy security lines over rect.
void draw_guilloche(QPainter& painter, const QRectF& rect, const QColor& colour);

// Bars of varying width, the same for the same seed.
void draw_barcode(QPainter& painter, const QRectF& rect, std::uint32_t seed, const QColor& ink);

// A 32-bit FNV-1a hash, for serial numbers and barcodes that stay the same for a request.
std::uint32_t text_hash(const QString& text);

}  // namespace miaohui
