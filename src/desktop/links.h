#pragma once

#include <string>
#include <string_view>

namespace miaohui {

std::string chat_link();   // chat-with-contact page
std::string group_link();  // group-join page

// Hands url unchanged to xdg-open, detached; does not wait and reports nothing.
void open_link(std::string_view url);

}  // namespace miaohui
