#pragma once

#include "app/design.h"

namespace miaohui {

// The program's two windows.
enum class WindowId { welcome, main };

const WindowDesign& welcome_design();
const WindowDesign& main_design();

const WindowDesign& design_of(WindowId id);

}  // namespace miaohui
