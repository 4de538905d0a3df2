#pragma once

#include <QImage>
#include <QSize>

#include <string>
#include <vector>

namespace miaohui::test {

// What a stretching picture box of this size should show for these bytes: each frame that Qt's
// own image readers decode from them (one for a still picture), laid over the background and
// stretched over the whole box with smooth scaling. Empty when Qt cannot read the bytes.
std::vector<QImage> expected_views(const std::string& bytes, QSize box, QRgb background);

// Mean absolute difference of the colour channels of two images of one size: 0 for the same
// pixels, up to 255; 255 when the sizes differ.
double mean_difference(const QImage& a, const QImage& b);

struct ClosestView {
  int index = -1;
  double difference = 255;
};
ClosestView closest_view(const QImage& shot, const std::vector<QImage>& views);

}  // namespace miaohui::test
