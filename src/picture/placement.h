#pragma once

#include <QRect>
#include <QSize>

namespace miaohui {

// Where a picture of the given size is drawn inside a client rectangle, by display mode:
// 0 natural size at the top-left (the caller clips), 1 and 3 the whole client area,
// 2 centred at natural size, or shrunk with its aspect kept when it does not fit; never enlarged.
// An unknown mode places as mode 1. An empty picture or client area gives an empty rectangle.
QRect place_picture(int display_mode, const QRect& client, QSize picture);

}  // namespace miaohui
