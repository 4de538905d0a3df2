#pragma once

namespace miaohui {

class AppWindow;

// Connects the clicks of a freshly built window to their actions, by control name: the
// fifteen picture kinds from the kind table, saving, the links and entering the main window.
void bind_actions(AppWindow& window);

}  // namespace miaohui
