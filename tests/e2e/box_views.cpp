#include "e2e/box_views.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>

#include <cstdlib>

namespace miaohui::test {

std::vector<QImage> expected_views(const std::string& bytes, QSize box, QRgb background) {
  QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  std::vector<QImage> views;
  for (QImage frame; reader.read(&frame);) {
    QImage laid(frame.size(), QImage::Format_RGB32);
    laid.fill(background);
    QPainter(&laid).drawImage(0, 0, frame);

    QImage view(box, QImage::Format_RGB32);
    view.fill(background);
    QPainter painter(&view);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), box), laid);
    painter.end();
    views.push_back(view);
    if (!reader.supportsAnimation()) break;
  }
  return views;
}

double mean_difference(const QImage& a, const QImage& b) {
  if (a.size() != b.size() || a.isNull()) return 255;
  const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
  long long total = 0;
  for (int row = 0; row < x.height(); ++row) {
    const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
    const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
    for (int column = 0; column < x.width(); ++column) {
      total += std::abs(qRed(p[column]) - qRed(q[column])) + std::abs(qGreen(p[column]) - qGreen(q[column])) +
               std::abs(qBlue(p[column]) - qBlue(q[column]));
    }
  }
  return static_cast<double>(total) / (3.0 * x.width() * x.height());
}

ClosestView closest_view(const QImage& shot, const std::vector<QImage>& views) {
  ClosestView closest;
  for (std::size_t i = 0; i < views.size(); ++i) {
    const double difference = mean_difference(shot, views[i]);
    if (difference < closest.difference) closest = {static_cast<int>(i), difference};
  }
  return closest;
}

}  // namespace miaohui::test
