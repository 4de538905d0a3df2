#pragma once

namespace miaohui {

// Makes the folder of the running executable the current directory.
void enter_executable_folder();

// Process-wide settings of the toolkit: the loop ends by the window table's rule only, the
// font, the program's icon.
void apply_application_settings();

// Start-up, the loop and shutdown; the program's exit status.
int run_program();

}  // namespace miaohui
