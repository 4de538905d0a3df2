#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "request/option_lists.h"
#include "request/picture_kind.h"

namespace miaohui {

// What the service reads from one request target ("/zb/fc/toutu.php?id=3&name=...").
struct ServiceRequest {
  // Every kind whose URL has this shape: 房产证 and 豪车提车生成 send the same URL, so a
  // target of theirs names both.
  std::vector<const PictureKind*> kinds;
  std::string option;  // the option field as sent; empty for kinds without a list
  std::string name;    // percent-decoded bytes, UTF-8 when the program sent them
};

// Reads a target by the kind table: the kind's head, for a kind with a list the option field
// up to the kind's middle, then the name up to the kind's tail (when the target ends with it).
// Nothing for a target of no kind.
std::optional<ServiceRequest> read_request_target(std::string_view target);

// "%XX" becomes its byte; anything else, a "%" without two hex digits too, stays as it is.
std::string percent_decode(std::string_view text);

// The option field in words, for drawing: the item it stands for; "0（未选择）" for 0;
// "7（列表中没有此项）" past the last item; "（未给出）" when empty; the decoded field in
// quotes with "（不是选项号）" when it is no number.
std::string describe_option(const OptionList& list, std::string_view option);

}  // namespace miaohui
