#pragma once

#include <array>
#include <span>
#include <string_view>

namespace miaohui {

// The items of the five lists, in the order shown; the main window's design fills its lists
// from these, and the option number n stands for item n - 1.
inline constexpr std::array<std::string_view, 4> confession_items{"嫁给我吧", "来娶我吧", "我爱你", "我喜欢你"};
inline constexpr std::array<std::string_view, 4> city_items{"北京", "上海", "广州", "深圳"};
inline constexpr std::array<std::string_view, 6> car_items{"宾利欧陆", "迈巴赫S600", "兰博基尼",
                                                           "奥迪R8",   "保时捷卡宴", "路虎揽胜"};
inline constexpr std::array<std::string_view, 6> award_items{"吃屎能手",     "天下第一笨",   "拉屎冠军",
                                                             "最有女人味奖", "全球帅哥之一", "绝种好男人"};
inline constexpr std::array<std::string_view, 3> country_items{"美国", "日本", "澳洲"};

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
