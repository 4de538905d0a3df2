#pragma once

#include <string>
#include <string_view>

namespace miaohui {

std::string chat_link();   // chat-with-contact page
std::string group_link();  // group-join page

// Hands url unchanged, as the one argument, to xdg-open, started detached in a process group of
// its own; returns at once and reports nothing. A url holding a zero byte is not launched.
void open_link(std::string_view url);

}  // namespace miaohui
