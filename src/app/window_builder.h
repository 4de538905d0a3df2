#pragma once

#include <memory>

#include "app/designs.h"

namespace miaohui {

class AppWindow;
class WindowTable;

// Makes a window from a design: the window's settings first, then its controls in the reverse
// of the design's order, stacked so that the first row lies on top. Each control's object
// name is its name in the design. The window is not shown yet.
std::unique_ptr<AppWindow> build_window(const WindowDesign& design, WindowTable& table, WindowId id);

}  // namespace miaohui
