#pragma once

#include <string>
#include <string_view>

#include "request/picture_kind.h"

namespace miaohui {

// The option number sent for a list's selected index: index + 1 in decimal ("0" for -1).
std::string option_number(int selected_index);

// The exact request URL of one click: "http://", the kind's host, its head, for a kind with
// an option list the option number and middle, the encoded name, then the tail.
// selected_index is ignored for a kind without an option list.
std::string build_request_url(const PictureKind& kind, std::string_view name, int selected_index = -1);

}  // namespace miaohui
