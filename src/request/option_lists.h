#pragma once

#include <span>
#include <string_view>

namespace miaohui {

// One drop-down list of the main window whose selection some picture kinds send.
struct OptionList {
  std::string_view name;                    // the list's control name, e.g. "组合框3"
  std::string_view label;                   // the label beside it, e.g. "豪车提车生成："
  std::span<const std::string_view> items;  // in the order shown; option number 1 is the first
};

// The five lists, 组合框1 to 组合框5.
std::span<const OptionList> option_lists();

// The list of that control name, or nullptr.
const OptionList* find_option_list(std::string_view name);

// The item an option number stands for; empty for 0 and for numbers past the last item.
std::string_view option_item(const OptionList& list, long long number);

}  // namespace miaohui
