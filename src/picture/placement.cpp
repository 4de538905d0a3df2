#include "picture/placement.h"

#include <algorithm>
#include <cstdint>

namespace miaohui {

namespace {

// Mode 2: the factor is min(W/w, H/h), compared and applied in integers so that the
// limiting side fills the client exactly and the other is truncated.
QSize shrink_to_fit(QSize picture, QSize client) {
  const std::int64_t w = picture.width(), h = picture.height();
  const std::int64_t cw = client.width(), ch = client.height();
  if (w <= cw && h <= ch) return picture;
  if (w * ch >= h * cw) {  // the width limits
    return QSize(static_cast<int>(cw), static_cast<int>(std::max<std::int64_t>(1, h * cw / w)));
  }
  return QSize(static_cast<int>(std::max<std::int64_t>(1, w * ch / h)), static_cast<int>(ch));
}

}  // namespace

QRect place_picture(int display_mode, const QRect& client, QSize picture) {
  if (picture.isEmpty() || client.isEmpty()) return {};
  switch (display_mode) {
    case 0:
      return QRect(client.topLeft(), picture);
    case 2: {
      const QSize size = shrink_to_fit(picture, client.size());
      const QPoint offset((client.width() - size.width()) / 2,
                          (client.height() - size.height()) / 2);
      return QRect(client.topLeft() + offset, size);
    }
    default:
      return client;
  }
}

}  // namespace miaohui
